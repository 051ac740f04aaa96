#include "CurveRecord.h"

void CurveRecord::kurveLoeschen()
{
    kurventypname.clear();
    wobbelgrunddaten.schrittweite = 0;
    wobbelgrunddaten.anfang = 0;
    wobbelgrunddaten.schritte = 0;
    kurvealt.frqanfang = 0;
    kurvealt.kurventyp = 0;
    kurvealt.linear1 = false;
    kurvealt.linear2 = false;
    kurvealt.audionf = false;
    kurvealt.k1.fill(0);
    kurvealt.k2.fill(0);
    kurvealt.korrlog1.fill(0);
    kurvealt.korrlog2.fill(0);
    kurvealt.korrswv1.fill(0);
    kurvealt.korrswv2.fill(0);
}
