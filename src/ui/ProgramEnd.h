#pragma once

// The status the program ends with, called once its windows, files and threads are gone. On Windows
// the process ends there and then, without unloading its libraries: a thread of the C++ runtime that
// is still unwinding as the program ends can hold that unloading for ever, and a program that never
// ends stays in the task list. Every file is written and closed by then; the standard streams are
// flushed first.
int EndProgram(int status);
