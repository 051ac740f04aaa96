#include "core/CurveRecord.h"

void CurveRecord::clearCurve()
{
    curveTypeName.clear();
    sweepGrid.stepMHz = 0;
    sweepGrid.startMHz = 0;
    sweepGrid.steps = 0;
    oldCurve.startHz = 0;
    oldCurve.curveType = 0;
    oldCurve.linear1 = false;
    oldCurve.linear2 = false;
    oldCurve.audioSweep = false;
    oldCurve.samples1.fill(0);
    oldCurve.samples2.fill(0);
    oldCurve.levelTable1.fill(0);
    oldCurve.levelTable2.fill(0);
    oldCurve.swrTable1.fill(0);
    oldCurve.swrTable2.fill(0);
}
