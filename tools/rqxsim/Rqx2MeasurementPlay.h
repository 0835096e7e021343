#pragma once

struct SimOptions;
class Wire;

// Action "measurements" of the RQX2 instrument: it sends a stored measurement file, options.points
// generated records or those of options.pointsFile (see readMeasurementsFile). Once told 'go' it
// sends its request, then the header and each record only after the program has acknowledged the
// one before, checking every answer byte for byte; a wrong or missing answer is reported and ends
// the transfer with status 1.
int playRqx2Measurements(Wire &wire, const SimOptions &options);
