#pragma once
// The fixed exchange folder and files through which the exporter, Plimsby and
// Drovane work together. The one home of these names: the engine, both
// programs and their tests take them from here. Windows compares paths
// without regard to case, so one spelling serves every use.

namespace harvel {

inline constexpr wchar_t kWorkingFolder[] = L"C:\\Harvel";
inline constexpr wchar_t kSenderProgram[] = L"C:\\Harvel\\Drovane.exe";  // Plimsby starts it
inline constexpr wchar_t kPlotFile[] = L"C:\\Harvel\\Quelmar.plt";       // the exporter writes it
inline constexpr wchar_t kStreamFile[] = L"C:\\Harvel\\Quelmar.th0";     // port-mode output
inline constexpr wchar_t kPartialSuffix[] = L".partial";  // an output file until it is complete

}  // namespace harvel
