#pragma once

#include "core/gnss/NmeaRecords.h"
#include "core/gnss/SatelliteRecord.h"

#include <string_view>

namespace ulv {

// Calls fn(sentence) for every sentence of a received text: from a "$" to the
// next line feed, without the line feed and without one carriage return before
// it (CR LF and bare LF endings both occur). Text outside sentences is skipped;
// a "$" whose line has not ended yet is left alone.
template <typename Fn>
void ForEachSentence(std::string_view text, Fn&& fn)
{
    size_t dollar = text.find('$');
    while (dollar != std::string_view::npos) {
        const size_t lf = text.find('\n', dollar + 1);
        if (lf == std::string_view::npos)
            return;
        std::string_view sentence = text.substr(dollar, lf - dollar);
        if (sentence.back() == '\r')
            sentence.remove_suffix(1);
        fn(sentence);
        dollar = text.find('$', lf);
    }
}

// Field conversions. They read numbers as the C library's atof/atoi would in
// the "C" locale, whatever locale the program runs in.

// Empty gives -1.0; otherwise the leading number (0.0 when none leads).
double NmeaFieldToDouble(std::string_view field);
// Empty -1; "A" 1, "D" 2, "E" 3, "M" 4, "N" 5, "S" 6, "V" 7, "W" 8 (exact,
// case-sensitive); anything else its leading integer (0 when none leads).
int NmeaFieldToCode(std::string_view field);
// ddmm.mmmm / dddmm.mmmm to degrees; no "." gives -1.0.
double NmeaToDegrees(std::string_view field);

// Sentence parsers. A sentence runs from its "$" to the end of its line, line
// end removed. The fixed-layout parsers fill the whole record only when the
// sentence carries the expected tag and enough delimiters (or a "*" standing in
// for the missing ones); otherwise the record keeps its values.
void ParseGgaSentence(std::string_view sentence, GgaRecord& record);
void ParseVtgSentence(std::string_view sentence, VtgRecord& record);
void ParseRmcSentence(std::string_view sentence, RmcRecord& record);
// "$GPGSA": the twelve PRNs go to prn[0..11].
void ParseGpgsaSentence(std::string_view sentence, GsaRecord& record);
// "$GNGSA": the twelve PRNs go to prn[0..11] when firstHalf is 1, else to
// prn[12..23]; the other half keeps its values.
void ParseGngsaSentence(std::string_view sentence, GsaRecord& record, int firstHalf);
// "$GNGNS" is recognised and nothing of it is kept. True for that tag.
bool ParseGnsSentence(std::string_view sentence);

// 1 when the sentence is message 1 of a "$GPGSV" group.
int IsFirstGpgsvMessage(std::string_view sentence);
// Fills table entries from a "$GPGSV" or "$GLGSV" message; 1 when it is the
// last message of its group.
int ParseGsvSentence(std::string_view sentence, SatelliteTable& table);

// Sets the used flag of every satellite the record lists; never clears one.
void MarkUsedSatellites(const GsaRecord& record, SatelliteTable& table);

} // namespace ulv
