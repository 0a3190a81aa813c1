#pragma once

// How often the current thread has opened, sniffed, parsed and read pictures. A thumbnail is one
// task on one thread, so the difference across a task says how often it looked at its picture: once
// is the rule (picture_probe.h). Counting costs a thread-local increment.

namespace pimrose {

struct ProbeCounts {
  int opens = 0;         // files opened for reading (a name that does not open is not counted)
  int sniffs = 0;        // formats recognised from leading bytes
  int headerParses = 0;  // picture headers parsed (a JPEG's marker walk, a PNG's IHDR, ...)
  int wholeReads = 0;    // reads of a whole file (or of all of it not read before)
};

ProbeCounts& threadProbeCounts();

}  // namespace pimrose
