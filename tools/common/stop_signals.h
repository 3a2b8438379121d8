#pragma once
// SIGINT, SIGTERM and SIGHUP end a tool's job cleanly, and so do SIGPIPE (the
// reader of its output went away) and SIGXFSZ (a file size limit was reached). The handler only
// notes the signal; the job sees it where it asks for a cancel, and a call that blocks (opening or
// writing a FIFO) returns early because the handler is installed without SA_RESTART. The tool then
// removes its partial and scratch files and exits with 128 + the signal's number.

// What a second signal of the same kind does: it is noted like the first, or
// (for a tool whose stop may wait on the line) it ends the program at once.
enum class SecondStop { Noted, EndsAtOnce };
void CatchStopSignals(SecondStop second = SecondStop::Noted);

// 0, or the number of the first stop signal that arrived.
int StopSignal();

// What a stop by SIGPIPE or SIGXFSZ did to the output, for a short message;
// "" for the signals the user sends.
const char* StopReason();
