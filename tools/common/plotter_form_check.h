#pragma once
// Whether the plain reading (one pen command per point: "PU12,34;", "PD56,78;")
// takes a drawing as a plotter would. HPGL from other programs often does not:
// Inkscape writes many points in one command, others place, scale or draw with
// instructions the plain reading skips. Such a drawing is refused rather than
// cut as another shape; --hpgl reads it as a plotter does.
#include <cstdint>
#include <string>
#include <string_view>

// Follows the bytes of a drawing in any number of pieces and keeps the first
// place where the two readings part.
class PlotterFormScan {
public:
    void Feed(std::string_view bytes);
    void End();  // the drawing is over: an instruction left open is judged

    bool found() const { return !what_.empty(); }
    uint64_t offset() const { return foundAt_; }       // where the instruction starts
    const std::string& what() const { return what_; }  // "PD with 4 coordinate pairs"

private:
    enum class State { Between, Name, Parameters, Label };

    void Take(char c);
    void KeepParameters(std::string_view text);
    void StartInstruction(char c);
    void EndInstruction(bool terminated);
    void JudgePenCommand(bool terminated, bool down);
    void Found(std::string what);

    State state_ = State::Between;
    uint64_t position_ = 0;
    uint64_t start_ = 0;      // the current instruction's first letter
    char name_[3] = {};       // as written
    std::string parameters_;  // up to its ';', cut off past kKeptParameters
    uint64_t foundAt_ = 0;
    std::string what_;
};

// "" when the plain reading takes the drawing at `path` as a plotter would,
// else where and what differs, for the tool's message after "TOOL: ".
std::string PlotterFormProblem(const std::string& path);
