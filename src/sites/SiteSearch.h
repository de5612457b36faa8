#pragma once
// Finding a site by a piece of its name in any usual spelling: without regard to case and accents, in any
// script ("munchen", "MÜNCHEN", "Lodz" for "Łódź"), and by its other spellings ("Munich"). Indexed once, so
// that a batch of many rows over a long site list looks each one up quickly; safe to share between threads
// once built.

#include "GeoEntry.h"
#include "SiteAliases.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvane::sites {

// The text for matching: transliterated to Latin, accents and ligatures stripped to ASCII where Latin has
// them (Ł to L, ß to ss), case folded. Invalid UTF-8 counts as U+FFFD.
std::string FoldForSearch(std::string_view utf8);
// Lower case for ASCII letters and the Latin-1 capitals only: how site names have always been matched.
std::string FoldLatin1Case(std::string_view utf8);

// Fewest single-byte edits (insertions, deletions, changes and, with swaps, exchanges of neighbours) that
// turn a into b; with whole false, into some piece of b.
size_t EditDistance(std::string_view a, std::string_view b, bool whole = true, bool swaps = false);

// Edits cost the product of the lengths for every site: a long text is judged by its beginning, at most
// this many bytes of it.
inline constexpr size_t kClosestKeyBytes = 256;
// The beginning of text that SiteFinder::Closest judges it by: the same key, the same closest names.
std::string_view ClosestKey(std::string_view text);

// The first of a list of texts that contains a given piece, found through the texts' three-byte pieces.
class SubstringIndex {
  public:
    SubstringIndex() = default;
    explicit SubstringIndex(std::vector<std::string> texts);
    // The index of the first text that contains part; nothing when none does.
    std::optional<size_t> FirstContaining(std::string_view part) const;

  private:
    std::vector<std::string> texts_;
    std::unordered_map<uint32_t, std::vector<uint32_t>> textsWith_; // by three-byte piece, in text order
};

class SiteFinder {
  public:
    // sites as the site list holds them: entry 0, the user-defined site, is never found. Aliases of names
    // that are not in the list are left out.
    SiteFinder(const std::vector<GeoEntry>& sites, const std::vector<SiteAlias>& aliases);

    // The index in sites of the first site whose name contains text in the case-insensitive way names have
    // always been matched; failing that, the first whose name contains it in any spelling; failing that, the
    // first with another spelling that contains it.
    std::optional<size_t> Find(std::string_view text) const;
    // Up to count site names closest to text, the closest first: by the fewest edits that turn text into a
    // piece of the name or of one of its other spellings (then into the whole of it). An other spelling
    // follows the name in brackets when it came closer.
    std::vector<std::string> Closest(std::string_view text, size_t count = 3) const;

  private:
    struct Spelling {
        std::string text;   // as written
        std::string folded; // FoldForSearch(text)
        size_t site;        // index in the site list
    };
    std::vector<Spelling> names_;          // entry i - 1 is site i
    std::vector<Spelling> aliases_;        // in file order
    std::optional<SubstringIndex> latin1_; // absent where it would find what folded_ finds
    SubstringIndex folded_;
    SubstringIndex aliasIndex_;
};

} // namespace korvane::sites
