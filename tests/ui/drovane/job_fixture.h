#pragma once
#include <string>

#include "drovane_fixture.h"

namespace drovane {

// Jobs end to end: the drawing in C:\Harvel, Drovane converting and sending
// it, a virtual cutter on the Linux side receiving it, and the native converter
// saying what should have arrived.
class DrovaneJobTest : public DrovaneTest {
protected:
    // Writes the drawing as C:\Harvel\Quelmar.plt, and as NAME.plt among the
    // artifacts for the native converter.
    void ExportDrawing(const std::string& name, const std::string& plot);
    // What the native converter makes of NAME.plt with these options
    // ("--port --offset 10pu --overcut 10pu").
    std::string Converted(const std::string& name, const std::string& options);
    // The bytes the virtual cutter NAME received.
    std::string Received(const std::string& name);
    std::wstring ArtifactPath(const std::string& file);

    // Every job ends alike: the program has ended, the exchange files are gone
    // and the settings are stored.
    void ExpectCleanEnd(DrovaneRun& run, const Settings& stored);

    // The status counter once streaming has begun and the counter has stayed
    // unchanged for quietMs: the line has stalled and a chunk is pending.
    int WaitForStalledCounter(HWND dialog, DWORD quietMs = 500);

    // A virtual cutter NAME on the far end of COM`port`, reading at the real
    // line rate of 38400 baud or as fast as the bytes come.
    void StartCutter(int port, const std::string& name, bool lineRate);
    static constexpr bool kLineRate = true;
    static constexpr bool kNoPacing = false;

    // The status counter once a chunk has taken the time it takes at the line
    // rate: the ptys' buffers are full and every write pends.
    int WaitForPacedCounter(HWND dialog);

    // Waits for the virtual cutter on COM`port` to end; its exit status and
    // summary line.
    std::string WaitForCutter(int port, int seconds = 30);
};

// "equal" or where two byte strings first differ, short enough for a failure
// message.
std::string CompareBytes(const std::string& got, const std::string& want);

// "ended cleanly" when `got` is the start of `stream` up to a whole command
// followed by the stream's ending; else what is wrong with it.
std::string StoppedStreamEnd(const std::string& got, const std::string& stream);

}  // namespace drovane
