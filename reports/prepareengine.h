#pragma once
// The part of the program's start-up that needs no widgets: the UTF-8
// character locale (the C libraries behind iconv and the ODBC driver manager
// get Japanese text as UTF-8), every report layout registered by name and the
// program-wide state at its start values. PrepareProgram() (app/startup.h)
// calls it with the rest of the start-up; a program without widgets (the tests
// of the engine and the reports) calls it in its place. Calling it again
// changes nothing.
void PrepareEngine();
