#pragma once
// HPGL's words: two-letter instruction names, numbers and the ';' that ends
// an instruction. Separators (blanks, commas, line breaks) fall between them.
// Instructions whose parameters are not numbers (a label's text, DT's
// terminator) read the bytes themselves.
#include <cstdint>
#include <string>

#include "hpgl/bytes.h"

enum class HpglTokenKind {
    End,          // the input is over
    Instruction,  // `name`, upper case
    Number,       // `number`
    Terminator,   // ';'
    Stray,        // any other character, or a lone sign or point
};

struct HpglToken {
    HpglTokenKind kind = HpglTokenKind::End;
    char name[3] = {};  // for a Stray, its first character in name[0]
    double number = 0;
    uint64_t at = 0;  // the byte of the input where the token begins
};

class HpglLexer {
public:
    explicit HpglLexer(ByteReader& source) : bytes_(source) {}

    HpglToken Next();
    const HpglToken& Peek();
    // The bytes right after an instruction's name (as Next() gave it), for
    // parameters of its own.
    int PeekByte() { return bytes_.Peek(); }
    int TakeByte() { return bytes_.Take(); }
    // Takes bytes up to and including `end`; false when the input ended first.
    bool SkipPast(int end);
    uint64_t Position() const { return bytes_.Position(); }
    const HpglBytes& bytes() const { return bytes_; }

private:
    HpglToken Read();
    bool ReadNumber(double& value);

    HpglBytes bytes_;
    HpglToken peeked_;
    bool pending_ = false;
};
