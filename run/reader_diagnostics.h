// The readers' messages as boolfn-run prints them: "SOURCE:LINE:COLUMN: message",
// the offending token quoted where there is one, so that a message says once where
// it is and what it is about. The menu program's own texts are formats/'.
#pragma once

#include <functional>
#include <string>

#include "formats/reader_messages.h"

// The message of one diagnostic, after the place: "syntax error at 'x'".
std::string diagnosticText(const ReaderDiagnostic& diagnostic);

// The token as a message quotes it: bytes that are not printable ASCII as \xNN (or
// \t, \r), so that a message never carries control characters to a terminal, and
// a long token cut after its first 40 bytes.
std::string quotedToken(const std::string& token);

// What the job's readers hand their messages to: each is printed, unless --quiet.
std::function<void(const ReaderDiagnostic&)> printedDiagnostics();
