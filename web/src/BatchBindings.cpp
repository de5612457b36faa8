// The page's batch engine, run in a Web Worker: the calculator's own batch reader and writer, over a file the
// worker hands over piece by piece and an output handed back piece by piece, so that neither is held whole;
// and the site reader, so that a site file is read off the page's thread.

#include "CliBatch.h"
#include "CliRoom.h"
#include "DefaultGeo.h"
#include "SiteEntries.h"
#include "TextInput.h"
#include "VbError.h"
#include "clsGeoFile.h"
#include "modLangConstants.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

using emscripten::val;

namespace korvane::web {

namespace {

constexpr size_t kPieceBytes = 1 << 16;
constexpr size_t kShownRows = 10;

// The input: read(maxBytes) gives the next bytes as a Uint8Array, an empty one at the end. A file is all at
// hand, so the batch never cuts a chunk short to wait for it.
class PieceInput : public std::streambuf {
  public:
    PieceInput(val read, double size) : read_(std::move(read)), size_(size), buffer_(kPieceBytes) {}

  protected:
    int_type underflow() override {
        if (gptr() < egptr())
            return traits_type::to_int_type(*gptr());
        const val piece = read_(kPieceBytes);
        const size_t n = piece["length"].as<size_t>();
        if (n == 0 || n > buffer_.size())
            return traits_type::eof();
        val(emscripten::typed_memory_view(n, reinterpret_cast<unsigned char*>(buffer_.data())))
            .call<void>("set", piece);
        taken_ += static_cast<double>(n);
        setg(buffer_.data(), buffer_.data(), buffer_.data() + n);
        return traits_type::to_int_type(*gptr());
    }
    std::streamsize showmanyc() override { return taken_ < size_ ? 1 : -1; }

  private:
    val read_;
    double size_, taken_ = 0;
    std::vector<char> buffer_;
};

// The output: write(bytes) takes a view of the bytes, valid only during the call, whenever the buffer is full
// and when the batch flushes after each chunk.
class PieceOutput : public std::streambuf {
  public:
    explicit PieceOutput(val write) : write_(std::move(write)), buffer_(kPieceBytes) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }

  protected:
    int_type overflow(int_type c) override {
        Hand();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override {
        Hand();
        return 0;
    }

  private:
    void Hand() {
        if (const auto n = static_cast<size_t>(pptr() - pbase()); n > 0)
            write_(val(emscripten::typed_memory_view(n, reinterpret_cast<unsigned char*>(pbase()))));
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    val write_;
    std::vector<char> buffer_;
};

// The output's columns and its first rows, for the page to show.
class FirstRows : public cli::BatchRowSink {
  public:
    void Columns(const std::vector<std::string>& names, const std::vector<bool>&) override {
        columns = val::array();
        for (const std::string& name : names)
            columns.call<void>("push", name);
    }
    void Row(const std::vector<std::string>& cells) override {
        if (shown_++ >= kShownRows)
            return;
        val row = val::array();
        for (const std::string& cell : cells)
            row.call<void>("push", cell);
        rows.call<void>("push", row);
    }
    val columns = val::array();
    val rows = val::array();

  private:
    size_t shown_ = 0;
};

val Unhandled(const VbError& e) {
    val error = val::object();
    error.set("number", e.Number());
    error.set("source", e.Source());
    error.set("description", e.Description());
    val result = val::object();
    result.set("unhandled", error);
    return result;
}

// A batch file's rows computed as `korvane-energy-cli --batch` computes them, at the built-in sites with
// their other spellings, in the page's language: {rows, failed, columns, first, warnings}, or {why} for a
// header that cannot be used, or {unhandled: error}.
val RunBatch(val read, double size, val write, int language) {
    val result = val::object();
    try {
        SetLanguage(language);
        PieceInput input(std::move(read), size);
        PieceOutput output(std::move(write));
        std::istream in(&input);
        std::ostream out(&output);
        std::ostringstream warnings;
        const cli::OptionTexts commandLine;
        cli::SiteList sites("DEFAULT.GEO", "SITE_ALIASES.txt");
        sites.UseBytes(std::string(DefaultGeoBytes()));
        sites.UseAliasBytes(std::string(SiteAliasBytes()));
        FirstRows first;
        cli::BatchSettings settings{&commandLine, &sites};
        settings.threads = 1;
        settings.rows = &first;
        std::string why;
        cli::BatchCounts counts;
        if (!cli::RunBatch(in, settings, out, warnings, why, counts)) {
            result.set("why", why);
            return result;
        }
        out.flush();
        result.set("rows", static_cast<double>(counts.rows));
        result.set("failed", static_cast<double>(counts.failed));
        result.set("columns", first.columns);
        result.set("first", first.rows);
        result.set("warnings", warnings.str());
    } catch (const VbError& e) {
        return Unhandled(e);
    }
    return result;
}

// A chosen site file as the page lists it, its size checked before read() gives its bytes: the page's sites
// in its language, or {unhandled: error}.
val ReadSites(std::string name, double size, val read, int language) {
    try {
        SetLanguage(language);
        PassOn("clsGeoFile:OpenGeoFile",
               [&] { CheckFileSize(name, static_cast<uintmax_t>(size), clsGeoFile::kMaxFileBytes); });
        const auto raw = emscripten::convertJSArrayToNumberVector<unsigned char>(read());
        std::vector<GeoEntry> sites(1);
        clsGeoFile().ReadGeoData(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()),
                                 sites, name);
        return PageSites(std::move(sites));
    } catch (const VbError& e) {
        return Unhandled(e);
    }
}

} // namespace

} // namespace korvane::web

EMSCRIPTEN_BINDINGS(korvane_batch) {
    emscripten::function("runBatch", &korvane::web::RunBatch);
    emscripten::function("readSites", &korvane::web::ReadSites);
}
