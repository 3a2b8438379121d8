#pragma once
#include <string>
#include <vector>

// Each measurement runs in a fresh process (this program, started again with
// "--case ..."), so that its peak memory and its caches are its own.
struct ChildFigures {
    bool ok = false;
    double seconds = 0;
    long hwmKb = 0;
    long anonKb = 0;
    long fileKb = 0;
    std::string extra;  // case-specific "name=value" figures
};

ChildFigures RunChild(const std::vector<std::string>& caseArgs);

// The child's side: the one line that RunChild reads.
void PrintChildFigures(double seconds, const struct MemoryPeaks& peaks, const std::string& extra);

// Looks up "name=value" in a child's extra figures; 0 when absent.
double ExtraFigure(const std::string& extra, const std::string& name);
