// Start-up guard for the three standard file descriptors.
//
// A program started with standard input (or output) closed, as `boolfn in.txt <&-`
// does, would otherwise hand descriptor 0 to the first file it opens: the console
// would then read the input file's own text as menu choices and answers. Holding
// the free standard descriptors on /dev/null keeps the conversation as specified
// for a console that cannot be read: every read fails and keeps its default.
#pragma once

// Which standard descriptors were closed at start and are now held on /dev/null:
// what is written there is lost, which a caller may need to report.
struct ClosedStandardStreams {
    bool input = false;
    bool output = false;
    bool error = false;
};

// Opens /dev/null on each of descriptors 0, 1 and 2 that is not open.
ClosedStandardStreams reserveStandardStreams();
