#pragma once
#include <bit>
#include <cstdint>
#include <cstring>

#include "engine/command_parse.h"
#include "engine/digit_run.h"

#ifdef __SSE2__
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

// Finds the pen commands in bytes of the plot file. Every byte up to an
// upper-case 'U' or 'D' is skipped; the command runs from that letter to the
// next ';'. The data is only read, never copied beyond one command.
class CommandScanner {
public:
    CommandScanner(const uint8_t* data, uint32_t length, uint32_t position = 0)
        : data_(data), length_(length), position_(position) {}

    // Copies the next command into `command` (letter, text, ";", NUL) and leaves
    // the position on its ';'. Returns false when the end of the data is reached.
    //
    // A command whose text does not fit the buffer keeps its first characters and
    // ends at its own ';' (the reading only ever uses the leading numbers). A
    // letter with no ';' after it cannot be a whole command: the data ends there.
    bool Next(char (&command)[kCommandBufferSize]);

    // The same step, giving the command's letter and the numbers that
    // ReadCommandNumbers reads from the copy. Plain commands ("D12,-345;") are
    // read where they lie; any other text is copied first.
    bool Next(PenCommand& command) {
        PrefetchAhead();
        // Commands mostly follow each other as ";PD" or ";PU": that guess, once
        // checked, gives the letter without a search. The longest plain command
        // and its eight-byte reads lie within 32 bytes of the letter.
        if (length_ - position_ >= kCommandBufferSize + 2) {
            uint32_t next;
            std::memcpy(&next, data_ + position_, sizeof next);
            next &= 0x00FFFFFF;
            if ((next == kSemicolonPD || next == kSemicolonPU) &&
                ReadInPlace(position_ + 2, command))
                return true;
        }
        const uint32_t p = SkipToLetter();
        if (length_ - p >= kCommandBufferSize && ReadInPlace(p, command)) return true;
        const CopiedCommand copied = ReadCopied(data_, length_, p);
        position_ = copied.end;
        command = copied.command;
        return copied.found;
    }

    uint32_t position() const { return position_; }
    uint32_t length() const { return length_; }
    bool AtEnd() const { return position_ >= length_; }

private:
    // ";PD" and ";PU" as the first three bytes of a little-endian word.
    static constexpr uint32_t kSemicolonPD = ';' | 'P' << 8 | 'D' << 16;
    static constexpr uint32_t kSemicolonPU = ';' | 'P' << 8 | 'U' << 16;

    // The bytes are read once, front to back: asking for them a little ahead
    // hides most of the wait for memory. The address is formed as an integer,
    // so that it may lie past the data.
    void PrefetchAhead() const {
#ifdef __SSE2__
        const uintptr_t ahead = reinterpret_cast<uintptr_t>(data_) + position_ + kPrefetchDistance;
        _mm_prefetch(reinterpret_cast<const char*>(ahead), _MM_HINT_T0);
#endif
    }
    static constexpr uint32_t kPrefetchDistance = 1024;

    uint32_t SkipToLetter() const {
        uint32_t p = position_;
        while (p < length_ && data_[p] != 'U' && data_[p] != 'D') ++p;
        return p;
    }

    // Reads "L", a number, optionally "," and a number, then ';', each number an
    // optional sign and at most seven digits: at most 19 bytes, none of them cut
    // off by the buffer's size. False, with nothing changed, for any other text.
    bool ReadInPlace(uint32_t letter, PenCommand& command) {
#ifdef __SSE2__
        if (ReadDigitsOnly(letter, command)) return true;
#endif
        const uint8_t* s = data_ + letter + 1;
        int32_t x;
        int32_t y = 0;
        if (!ReadShortNumber(s, x)) return false;
        if (*s == ',') {
            ++s;
            if (!ReadShortNumber(s, y)) return false;
        }
        if (*s != ';') return false;
        command.letter = static_cast<char>(data_[letter]);
        command.numbers = {x, y};
        position_ = static_cast<uint32_t>(s - data_);
        return true;
    }

#ifdef __SSE2__
    // The most common form, "L", 1 to 7 digits, optionally "," and 1 to 7
    // digits, then ';', found from the 16 bytes after the letter at once: where
    // the ';' lies does not wait for the digits to be read.
    bool ReadDigitsOnly(uint32_t letter, PenCommand& command) {
        const uint8_t* text = data_ + letter + 1;
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
        const __m128i fromZero = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
        const unsigned digits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(fromZero, _mm_set1_epi8(9)), fromZero)));
        const auto semicolons =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(';'))));
        const auto commas =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(','))));
        if (semicolons == 0) return false;
        const int end = std::countr_zero(semicolons);
        const unsigned before = (1u << end) - 1;
        const unsigned firstComma = commas & before & (0u - (commas & before));
        // Every byte before the ';' a digit, but for at most the first ','.
        if (((digits | firstComma) & before) != before) return false;
        const int xDigits = firstComma == 0 ? end : std::countr_zero(firstComma);
        const int yDigits = firstComma == 0 ? 1 : end - xDigits - 1;
        if (xDigits - 1u > 6u || yDigits - 1u > 6u) return false;
        command.letter = static_cast<char>(data_[letter]);
        command.numbers.x = static_cast<int32_t>(LeadingDigitsValue(LoadEightBytes(text), xDigits));
        command.numbers.y = firstComma == 0 ? 0
                                            : static_cast<int32_t>(LeadingDigitsValue(
                                                  LoadEightBytes(text + xDigits + 1), yDigits));
        position_ = letter + 1 + static_cast<uint32_t>(end);
        return true;
    }
#endif

    // An optional sign and at most seven digits, read as ReadNumber reads them
    // (leading zeros change nothing at this length). False for more digits.
    static bool ReadShortNumber(const uint8_t*& s, int32_t& value) {
        const uint64_t word = LoadEightBytes(s);
        const int count = LeadingDigitCount(word);
        if (count == 0) [[unlikely]]
            return ReadSignedNumber(s, value);
        if (count == 8) return false;
        value = static_cast<int32_t>(LeadingDigitsValue(word, count));
        s += count;
        return true;
    }

    // A number that starts with something other than a digit.
    static bool ReadSignedNumber(const uint8_t*& s, int32_t& value) {
        value = 0;
        if (*s != '-' && *s != '+') return true;  // no digits: 0
        const bool negative = *s++ == '-';
        const uint64_t word = LoadEightBytes(s);
        const int count = LeadingDigitCount(word);
        if (count == 0) return true;
        if (count == 8) return false;
        const auto magnitude = static_cast<int32_t>(LeadingDigitsValue(word, count));
        value = negative ? -magnitude : magnitude;
        s += count;
        return true;
    }

    // The copying reading, static so that the scanner's state can stay in
    // registers: `end` is the position after the step.
    struct CopiedCommand {
        bool found;
        uint32_t end;
        PenCommand command;
    };
    static CopiedCommand ReadCopied(const uint8_t* data, uint32_t length, uint32_t letter);
    static uint32_t CopyCommand(const uint8_t* data, uint32_t length, uint32_t letter,
                                char (&command)[kCommandBufferSize]);

    const uint8_t* data_;
    uint32_t length_;
    uint32_t position_ = 0;
};
