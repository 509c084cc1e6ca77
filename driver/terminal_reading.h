// How the menu program reads a person at a terminal: through the line editor
// (driver/line_editing.h), with Tab completing paths at the path prompts and names
// where a statement is typed, or, when the editor cannot start, through reads that
// wait at safe points for the ending signals. The menu program's entry hands it to
// the entry routine (driver/program.h), so that the session code, the tests and the
// fuzz targets link no terminal library.
#pragma once

// Starts reading the terminal; does nothing when standard input is no terminal.
void startTerminalReading();
