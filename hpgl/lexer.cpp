// Splitting HPGL into instruction names, numbers and terminators.
#include "hpgl/lexer.h"

#include <cctype>
#include <cstdlib>

namespace {

bool IsLetter(int c) {
    return c >= 0 && std::isalpha(c) != 0;
}

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

bool IsSeparator(int c) {
    return c == ',' || (c >= 0 && std::isspace(c) != 0);
}

// Past these, a digit changes the number's value by less than any double
// can tell apart, except through whether it is zero: that is kept apart.
constexpr size_t kSignificantDigits = 800;
constexpr long kExponentLimit = 100000;  // far beyond any double's range

}  // namespace

HpglToken HpglLexer::Next() {
    if (pending_) {
        pending_ = false;
        return peeked_;
    }
    return Read();
}

const HpglToken& HpglLexer::Peek() {
    if (!pending_) {
        peeked_ = Read();
        pending_ = true;
    }
    return peeked_;
}

bool HpglLexer::SkipPast(int end) {
    if (pending_) {
        pending_ = false;
        if (peeked_.kind == HpglTokenKind::Terminator && end == ';') return true;
    }
    for (int c; (c = bytes_.Take()) >= 0;)
        if (c == end) return true;
    return false;
}

HpglToken HpglLexer::Read() {
    HpglToken token;
    int c;
    while (IsSeparator(c = bytes_.Peek())) bytes_.Take();
    token.at = bytes_.Position();
    if (c < 0) return token;
    token.name[0] = static_cast<char>(c);
    if (c == ';') {
        bytes_.Take();
        token.kind = HpglTokenKind::Terminator;
    } else if (IsLetter(c)) {
        bytes_.Take();
        token.kind = HpglTokenKind::Stray;
        const int second = bytes_.Peek();
        if (IsLetter(second)) {
            bytes_.Take();
            token.kind = HpglTokenKind::Instruction;
            token.name[0] = static_cast<char>(std::toupper(c));
            token.name[1] = static_cast<char>(std::toupper(second));
        }
    } else {
        token.kind = ReadNumber(token.number) ? HpglTokenKind::Number : HpglTokenKind::Stray;
    }
    return token;
}

// A sign, digits and a point with more digits, of any length. The digits are
// kept only as far as they can matter and then read by strtod, so the value
// is the nearest double to the whole number as written.
bool HpglLexer::ReadNumber(double& value) {
    std::string text;
    int c = bytes_.Take();
    if (c == '+' || c == '-') {
        if (c == '-') text += '-';
        c = bytes_.Peek();
        if (!IsDigit(c) && c != '.') return false;
        c = bytes_.Take();
    }
    std::string digits;
    long exponent = 0;
    bool anyDigit = false;
    bool droppedNonZero = false;
    bool fraction = false;
    for (;; c = bytes_.Take()) {
        if (c == '.' && !fraction) {
            fraction = true;
        } else if (IsDigit(c)) {
            anyDigit = true;
            if (digits.size() < kSignificantDigits && (c != '0' || !digits.empty())) {
                digits += static_cast<char>(c);
                if (fraction && exponent > -kExponentLimit) --exponent;
            } else if (digits.empty()) {  // a leading zero
                if (fraction && exponent > -kExponentLimit) --exponent;
            } else {
                droppedNonZero = droppedNonZero || c != '0';
                if (!fraction && exponent < kExponentLimit) ++exponent;
            }
        } else {
            return false;
        }
        const int next = bytes_.Peek();
        if (!IsDigit(next) && !(next == '.' && !fraction)) break;
    }
    if (!anyDigit) return false;
    if (digits.empty()) digits += '0';
    if (droppedNonZero) {  // a last digit stands for the nonzero rest
        digits += '1';
        --exponent;
    }
    text += digits + "e" + std::to_string(exponent);
    value = std::strtod(text.c_str(), nullptr);
    return true;
}
