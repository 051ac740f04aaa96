#pragma once

#include "core/CurveRecord.h"

// Turns the raw samples of a read old curve into the new curve: at most 2001 points, frequencies
// in MHz, levels in dB or SWR values, corrected with the file's own correction tables, and
// cleans the description into a file-name base.

// Converts record.oldCurve into the record's new curve and cleans record.description.
// Impedance curves (curveType 3) cannot be converted: returns false and changes nothing.
bool convertCurve(CurveRecord &record);

// The description made into a file-name base: blanks to "_", ";no_label" and ".hfd" removed,
// "+", "-", "\", "/", ":" and ";" to "_".
QString cleanDescription(QString description);

// Correction lookups at a frequency in Hz. The SWR lookups write the value as a debug line.
double levelCorrection1(const OldCurve &oldCurve, double fHz);
double levelCorrection2(const OldCurve &oldCurve, double fHz);
double swrCorrection1(const OldCurve &oldCurve, double fHz);
double swrCorrection2(const OldCurve &oldCurve, double fHz);

// Why a converted curve cannot be written, or an empty text: it has no points, or a frequency or
// a value of a written channel is no number a curve file holds (NumberText::representable): a
// huge factor overflows.
QString convertedCurveProblem(const CurveRecord &record);
