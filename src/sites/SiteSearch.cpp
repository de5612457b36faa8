#include "SiteSearch.h"

#if KORVANE_WITH_ICU
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uscript.h>
#endif

#include <algorithm>
#include <memory>
#include <numeric>
#include <string_view>
#include <tuple>
#include <unordered_map>

namespace korvane::sites {

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

#if KORVANE_WITH_ICU
// Characters transliterated at once, about: far longer than any word, short enough that moving the rest is
// cheap.
constexpr int32_t kFoldPiece = 256;

// One per thread: a transliterator must not be used by two threads at once. Null when ICU lacks its rules;
// matching then folds case alone.
icu::Transliterator* ToAsciiLatin() {
    thread_local const std::unique_ptr<icu::Transliterator> transliterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(
            icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
    return transliterator.get();
}

bool IsHan(UChar32 c) {
    UErrorCode status = U_ZERO_ERROR;
    return uscript_getScript(c, &status) == USCRIPT_HAN;
}

// The characters after which the transliterator sets a Han syllable apart with a space: letters (syllables
// included) with their marks, and the punctuation that ends a phrase.
bool SetsSyllableApart(UChar32 previous) {
    const int8_t type = u_charType(previous);
    return u_isalpha(previous) || type == U_NON_SPACING_MARK || type == U_COMBINING_SPACING_MARK ||
           type == U_END_PUNCTUATION || type == U_FINAL_PUNCTUATION ||
           std::u32string_view(U".,:;?!\uFF0E\uFF0C\uFF1A\uFF1F\uFF01\uFF61\u3001\uFF1B").find(previous) !=
               std::u32string_view::npos;
}

// The Han characters read by the one that follows (chong in Chongqing): transliterated together with it.
bool ReadByTheNext(UChar32 c) {
    return c == U'\u85CF' || c == U'\u91CD' || c == U'\u6C88' || c == U'\u79D8';
}

// A Han character in Latin letters. Han's transliteration is slow, one character at a time and without
// context: kept per character, which bounds what is kept by the script's size.
const icu::UnicodeString& HanSyllable(UChar32 c, icu::Transliterator* t) {
    thread_local std::unordered_map<UChar32, icu::UnicodeString> known;
    const auto [it, added] = known.try_emplace(c, c);
    if (added && t)
        t->transliterate(it->second);
    return it->second;
}
#endif

uint32_t Piece(std::string_view text, size_t at) {
    return static_cast<unsigned char>(text[at]) | static_cast<unsigned char>(text[at + 1]) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(text[at + 2])) << 16;
}

} // namespace

size_t EditDistance(std::string_view a, std::string_view b, bool whole, bool swaps) {
    // Three rows of the edit table: a swap looks two rows back.
    std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        previous[j] = whole ? j : 0; // a piece may begin anywhere in b
    for (size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            row[j] =
                std::min({previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1), previous[j] + 1, row[j - 1] + 1});
            if (swaps && i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                row[j] = std::min(row[j], before[j - 2] + 1);
        }
        std::swap(before, previous);
        std::swap(previous, row);
    }
    return whole ? previous.back()
                 : *std::min_element(previous.begin(), previous.end()); // ... and end anywhere
}

std::string FoldForSearch(std::string_view utf8) {
    if (IsAscii(utf8))
        return AsciiLower(utf8); // what the transliteration and the case fold give for ASCII
#if !KORVANE_WITH_ICU
    return FoldLatin1Case(utf8);
#else
    const icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    icu::Transliterator* t = ToAsciiLatin();
    icu::UnicodeString folded, run;
    const auto transliterateRun = [&] {
        if (t)
            t->transliterate(run);
        folded += run;
        run.remove();
    };
    // A transliterator rewrites its text in place, moving the rest of it at each replacement: on one long
    // text that is quadratic. Run by run, each cut after a space where there is one, it stays linear.
    for (int32_t at = 0; at < text.length();) {
        const UChar32 c = text.char32At(at);
        const int32_t next = at + U16_LENGTH(c);
        if (IsHan(c)) {
            transliterateRun();
            if (at > 0 && SetsSyllableApart(text.char32At(at - 1)))
                folded += u' ';
            if (ReadByTheNext(c) && next < text.length()) {
                run.append(c).append(text.char32At(next));
                transliterateRun();
                at = next + U16_LENGTH(text.char32At(next));
                continue;
            }
            folded += HanSyllable(c, t);
        } else {
            const int8_t type = u_charType(c);
            if ((type == U_START_PUNCTUATION || type == U_INITIAL_PUNCTUATION) && at > 0 &&
                IsHan(text.char32At(at - 1)))
                folded += u' '; // a bracket opened after a syllable is set apart too
            run.append(c);
            if (run.length() >= kFoldPiece && c == u' ')
                transliterateRun();
            else if (run.length() >= 2 * kFoldPiece && next < text.length() &&
                     u_getCombiningClass(text.char32At(next)) == 0)
                transliterateRun(); // a long run without spaces, never cut before a combining mark
        }
        at = next;
    }
    transliterateRun();
    folded.foldCase();
    std::string out;
    return folded.toUTF8String(out);
#endif
}

std::string FoldLatin1Case(std::string_view utf8) {
    std::string out(utf8);
    for (size_t i = 0; i < out.size(); ++i) {
        auto& c = out[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        } else if (static_cast<unsigned char>(c) == 0xC3 && i + 1 < out.size()) {
            const auto next = static_cast<unsigned char>(out[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) // À..Þ without ×
                out[i + 1] = static_cast<char>(next + 0x20);
            ++i;
        }
    }
    return out;
}

std::string_view ClosestKey(std::string_view text) {
    if (text.size() <= kClosestKeyBytes)
        return text;
    size_t end = kClosestKeyBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end; // a whole character, not the first bytes of one
    return text.substr(0, end);
}

SubstringIndex::SubstringIndex(std::vector<std::string> texts) : texts_(std::move(texts)) {
    for (size_t i = 0; i < texts_.size(); ++i) {
        const std::string& text = texts_[i];
        for (size_t at = 0; at + 3 <= text.size(); ++at) {
            auto& with = textsWith_[Piece(text, at)];
            if (with.empty() || with.back() != i)
                with.push_back(static_cast<uint32_t>(i));
        }
    }
}

std::optional<size_t> SubstringIndex::FirstContaining(std::string_view part) const {
    const auto contains = [&](size_t i) { return texts_[i].find(part) != std::string::npos; };
    if (part.size() < 3) { // too short for the pieces: every text is a candidate
        for (size_t i = 0; i < texts_.size(); ++i) {
            if (contains(i))
                return i;
        }
        return std::nullopt;
    }
    // The rarest piece of part has the fewest candidates; each text that contains part is among them.
    const std::vector<uint32_t>* fewest = nullptr;
    for (size_t at = 0; at + 3 <= part.size(); ++at) {
        const auto it = textsWith_.find(Piece(part, at));
        if (it == textsWith_.end())
            return std::nullopt;
        if (!fewest || it->second.size() < fewest->size())
            fewest = &it->second;
    }
    for (const uint32_t i : *fewest) {
        if (contains(i))
            return i;
    }
    return std::nullopt;
}

SiteFinder::SiteFinder(const std::vector<GeoEntry>& sites, const std::vector<SiteAlias>& aliases) {
    std::vector<std::string> latin1, folded, aliasFolded;
    bool same = true;
    std::unordered_map<std::string_view, size_t> siteNamed; // the first site of each name
    for (size_t i = 1; i < sites.size(); ++i) {
        const std::string& name = sites[i].Name;
        names_.push_back({name, FoldForSearch(name), i});
        latin1.push_back(FoldLatin1Case(name));
        folded.push_back(names_.back().folded);
        same = same && latin1.back() == folded.back();
        siteNamed.try_emplace(name, i);
    }
    for (const auto& alias : aliases) {
        if (const auto it = siteNamed.find(alias.siteName); it != siteNamed.end()) {
            aliases_.push_back({alias.spelling, FoldForSearch(alias.spelling), it->second});
            aliasFolded.push_back(aliases_.back().folded);
        }
    }
    if (!same)
        latin1_.emplace(std::move(latin1));
    folded_ = SubstringIndex(std::move(folded));
    aliasIndex_ = SubstringIndex(std::move(aliasFolded));
}

std::optional<size_t> SiteFinder::Find(std::string_view text) const {
    const std::string folded = FoldForSearch(text);
    std::optional<size_t> found = latin1_ ? latin1_->FirstContaining(FoldLatin1Case(text)) : std::nullopt;
    if (!found)
        found = folded_.FirstContaining(folded);
    if (found)
        return names_[*found].site;
    if (const auto alias = aliasIndex_.FirstContaining(folded))
        return aliases_[*alias].site;
    return std::nullopt;
}

std::vector<std::string> SiteFinder::Closest(std::string_view text, size_t count) const {
    const std::string folded = FoldForSearch(ClosestKey(text)).substr(0, 64);
    struct Candidate {
        size_t pieceEdits, wholeEdits, order;
        const Spelling* alias; // the other spelling that came closest, if any
    };
    std::vector<Candidate> candidates;
    for (size_t i = 0; i < names_.size(); ++i)
        candidates.push_back({EditDistance(folded, names_[i].folded, false),
                              EditDistance(folded, names_[i].folded, true), i, nullptr});
    const auto key = [](const Candidate& c) { return std::tie(c.pieceEdits, c.wholeEdits, c.order); };
    for (const Spelling& alias : aliases_) {
        const Candidate viaAlias{EditDistance(folded, alias.folded, false),
                                 EditDistance(folded, alias.folded, true), alias.site - 1, &alias};
        Candidate& site = candidates[alias.site - 1];
        if (key(viaAlias) < key(site))
            site = viaAlias;
    }
    count = std::min(count, candidates.size());
    std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(count),
                      candidates.end(),
                      [&](const Candidate& a, const Candidate& b) { return key(a) < key(b); });
    std::vector<std::string> closest;
    for (size_t i = 0; i < count; ++i) {
        const Candidate& c = candidates[i];
        closest.push_back(names_[c.order].text + (c.alias ? " (" + c.alias->text + ")" : ""));
    }
    return closest;
}

} // namespace korvane::sites
