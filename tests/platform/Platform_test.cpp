// Conversions under either separator, checked arithmetic, and the locale's decimal separator.
#include "DataFiles.h"
#include "PortableTrig.h"
#include "VbConvert.h"
#include "VbError.h"
#include "VbMath.h"
#include "clsLocalInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <unistd.h>

namespace korvane {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kInf = std::numeric_limits<double>::infinity(),
                 kNaN = std::numeric_limits<double>::quiet_NaN();

// The number raised by f (0: none); every raised error carries the runtime's description and the source.
int32_t ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        EXPECT_EQ(e.Description(), RuntimeDescription(e.Number()));
        EXPECT_EQ(e.Source(), vb::kRuntimeSource);
        return e.Number();
    }
    return 0;
}

TEST(Conversion, AcceptedSpellingsUnderBothSeparators) {
    using A = std::tuple<const char*, const char*, double>;
    for (const auto& [text, separator, value] :
         {A{"8,68", ",", 8.68}, A{"8.68", ".", 8.68}, A{"-16,37", ",", -16.37}, A{"+3", ",", 3.0},
          A{"  50,11\t", ",", 50.11}, A{",5", ",", 0.5}, A{"5,", ",", 5.0}, A{".25", ".", 0.25},
          A{"-0", ".", 0.0}, A{"1E3", ",", 1000.0}, A{"2,5e-2", ",", 0.025}, A{"1e+2", ".", 100.0},
          A{"007", ".", 7.0}, A{"1e-400", ".", 0.0}, A{"1,7976931348623157E308", ",", kMax},
          A{"4,9E-324", ",", std::numeric_limits<double>::denorm_min()},
          A{"0,1000000000000000000000000000001", ",", 0.1}}) {
        EXPECT_TRUE(IsNumeric(text, separator)) << text;
        EXPECT_DOUBLE_EQ(CDbl(text, separator), value) << text;
    }
}

TEST(Conversion, RefusedSpellingsRaiseTypeMismatch) {
    using T = std::pair<const char*, const char*>;
    for (const T& row :
         {T{"", ","},    T{"   ", "."},  T{",", ","},       T{"-", ","},       T{"+", "."},
          T{"1.5", ","}, T{"1,5", "."},  T{"1.000,5", ","}, T{"1,000.5", "."}, T{"1,2,3", ","},
          T{"--1", "."}, T{"+-1", "."},  T{"1-", "."},      T{"1 000", "."},   T{"$5", "."},
          T{"5 €", ","}, T{"0x1A", "."}, T{"&H1A", "."},    T{"(5)", "."},     T{"1e", "."},
          T{"1e+", "."}, T{"e5", "."},   T{",e5", ","},     T{"inf", "."},     T{"nan", "."},
          T{"1d5", "."}, T{"1\n", "."},  T{"1,5", ""},      T{"- 1", "."},     T{"1 e5", "."}}) {
        // The other conversions and IsNumeric follow CDbl, as the conversion fuzzer checks.
        EXPECT_EQ(ErrorOf([&] { CDbl(row.first, row.second); }), ErrTypeMismatch) << row.first;
    }
}

// Text under a comma, and whether CDbl, CInt and CLng overflow.
TEST(Conversion, ValuesBeyondTheTypeOverflow) {
    struct O {
        const char* text;
        bool dbl, int16, int32;
    };
    for (const O& row : {O{"1E309", 1, 1, 1}, O{"-1,8E308", 1, 1, 1}, O{"32768", 0, 1, 0},
                         O{"-32769", 0, 1, 0}, O{"32767,5", 0, 1, 0}, O{"32767,49", 0, 0, 0},
                         O{"-32768,5", 0, 0, 0}, O{"2147483648", 0, 1, 1}, O{"-2147483649", 0, 1, 1},
                         O{"2147483647,5", 0, 1, 1}, O{"-2147483648,5", 0, 1, 0}, O{"1E300", 0, 1, 1}}) {
        EXPECT_EQ(ErrorOf([&] { CDbl(row.text, ","); }), row.dbl ? ErrOverflow : 0) << row.text;
        EXPECT_EQ(ErrorOf([&] { CInt(row.text, ","); }), row.int16 ? ErrOverflow : 0) << row.text;
        EXPECT_EQ(ErrorOf([&] { CLng(row.text, ","); }), row.int32 ? ErrOverflow : 0) << row.text;
    }
    EXPECT_EQ(ErrorOf([] { CInt(kNaN); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { CLng(kNaN); }), ErrOverflow);
}

TEST(Conversion, RoundsHalfToEven) {
    using H = std::pair<double, int32_t>;
    for (const auto& [value, expected] :
         {H{2.5, 2}, H{3.5, 4}, H{-2.5, -2}, H{-3.5, -4}, H{0.5, 0}, H{1.5, 2}, H{-0.5, 0},
          H{0.49999999999999994, 0}, H{2.5000000000000004, 3}, H{-0.50000000000000011, -1}, H{7.5, 8},
          H{-1.4, -1}, H{24.0, 24}, H{-32767.6, -32768}}) {
        EXPECT_EQ(CLng(value), expected) << value;
        EXPECT_EQ(CInt(value), expected) << value;
    }
}

TEST(Conversion, NumberToTextAsThePlatformWritesIt) {
    using P = std::pair<double, const char*>;
    for (const auto& [value, text] :
         {P{8.68, "8,68"}, P{-16.37, "-16,37"}, P{1.0, "1"}, P{-24.0, "-24"}, P{0.0, "0"}, P{-0.0, "0"},
          P{0.30000000000000004, "0,3"}, P{0.6666666666666666, "0,666666666666667"},
          P{1234567.891, "1234567,891"}, P{1.5e15, "1,5E+15"}, P{0.0001, "0,0001"}, P{0.00001, "1E-05"},
          P{kMax, "1,79769313486232E+308"}})
        EXPECT_EQ(CStr(value, ","), text) << value;
    for (const auto& [value, text] :
         {P{8.68, "8.68"}, P{0.3333333333333333, "0.333333333333333"},
          P{123456789012345.0, "123456789012345"}, P{1e15, "1E+15"}, P{-2.5e-10, "-2.5E-10"},
          P{1e100, "1E+100"}, P{9.9999999999999999, "10"}, P{999999999999999.9, "1E+15"}, P{100.0, "100"}})
        EXPECT_EQ(CStr(value, "."), text) << value;
    EXPECT_EQ(CStr(50.11, "٫"), "50٫11");
}

TEST(Arithmetic, RaisesInsteadOfWrappingOrPassingNaNOrInfinity) {
    EXPECT_EQ(vb::Add16(32767, 0), 32767);
    EXPECT_EQ(vb::Sub16(-32767, 1), -32768);
    EXPECT_EQ(vb::Mul16(181, 181), 32761);
    EXPECT_EQ(vb::Mul32(-65536, 32768), -2147483648);
    EXPECT_EQ(ErrorOf([] { vb::Add16(32767, 1); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { vb::Sub16(-32768, 1); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { vb::Mul16(182, 181); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { vb::Mul32(65536, 32768); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { vb::Add32(2147483647, 1); }), ErrOverflow);
    using Binary = double (*)(double, double);
    using B = std::tuple<Binary, double, double, int32_t>;
    for (const auto& [op, a, b, error] :
         {B{vb::Div, 1.0, 0.0, ErrDivisionByZero}, B{vb::Div, -3.0, -0.0, ErrDivisionByZero},
          B{vb::Div, 0.0, 0.0, ErrOverflow}, B{vb::Div, 1e300, 1e-300, ErrOverflow},
          B{vb::Div, 1.0, kInf, ErrOverflow}, B{vb::Div, kNaN, 1.0, ErrOverflow},
          B{vb::Mul, 1e200, 1e200, ErrOverflow}, B{vb::Add, 1.7e308, 1.7e308, ErrOverflow},
          B{vb::Sub, kInf, kInf, ErrOverflow}, B{vb::Mul, 1e-300, 1e-300, 0}}) // underflow is no error
        EXPECT_EQ(ErrorOf([f = op, x = a, y = b] { f(x, y); }), error) << a << " " << b;
    using U = std::tuple<double (*)(double), double, int32_t>;
    for (const auto& [op, x, error] :
         {U{vb::Sqrt, -1.0, ErrInvalidCall}, U{vb::Sqrt, 0.0, 0}, U{vb::Log, 0.0, ErrInvalidCall},
          U{vb::Cos, kInf, ErrOverflow}, U{vb::Sin, kNaN, ErrOverflow}, U{vb::Atn, kNaN, ErrOverflow},
          U{vb::Sin, 0x1.921fb6p+20, ErrInvalidCall}, U{vb::Cos, -1.7e6, ErrInvalidCall},
          U{vb::Atn, 1e300, 0}})
        EXPECT_EQ(ErrorOf([f = op, v = x] { f(v); }), error) << x;
}

// Arguments that glibc rounds the other way: every build gives the port's bits, in each path of the
// reduction.
TEST(PortableTrig, GivesTheSameBitsInEveryBuild) {
    using T = std::tuple<double (*)(double), double, double>;
    for (const auto& [f, x, bits] : {T{trig::Sin, 0x1.cc7b82cbd4854p-2, 0x1.bd1e6729a1941p-2},
                                     T{trig::Sin, 0x1.9f9d080aac9bp-1, 0x1.737351f058a7ep-1},
                                     T{trig::Sin, 0x1.b17df9f036f28p+3, 0x1.a949bcba0e7e6p-1},
                                     T{trig::Cos, 0x1.72955788e5936p-1, 0x1.7fa3ed2482cf4p-1},
                                     T{trig::Cos, 0x1.5488e9aa466bfp+2, 0x1.24aa27e77210cp-1},
                                     T{trig::Cos, -0x1.295c6cf94a604p+3, -0x1.fb8784a86661p-1},
                                     T{trig::Atan, 0x1.8e30cd7d4d40ap-3, 0x1.8948ade2573cap-3},
                                     T{trig::Atan, 0x1.28ff2f6dee82fp+0, 0x1.b80314e3b8126p-1},
                                     T{trig::Atan, 0x1.8fd0b7892291ap+4, 0x1.87e274ace78acp+0}})
        EXPECT_EQ(f(x), bits) << std::hexfloat << x;
}

// Every locale name of the toolkit itself is checked in the Qt test; these are the other spellings.
TEST(LocaleNames, GiveTheirDecimalSeparator) {
    using L = std::pair<const char*, std::optional<std::string>>;
    for (const auto& [name, separator] :
         {L{"de", ","}, L{"de-AT", ","}, L{"DE_de", ","}, L{"de_CH.UTF-8", "."}, L{"de_XX", ","},
          L{"no_NO", ","}, L{"iw_IL", "."}, L{"sr_RS@latin", ","}, L{"ar_EG", "٫"},
          L{"ks_IN@devanagari", "٫"}, L{"ks_Deva_IN", "."}, L{"xx_YY", std::nullopt},
          L{"german", std::nullopt}, L{"d", std::nullopt}, L{"", std::nullopt}, L{" de_DE", std::nullopt}})
        EXPECT_EQ(DecimalSeparatorOfLocale(name), separator) << name;
}

std::string Read(int32_t source) {
    clsLocalInfo info;
    info.SelectLocale(source);
    return info.DecimalSeparator();
}

// The separators read for the user and for the system; the configuration files in the order they are read
// (nullptr: no such file; the first that names a locale counts); the environment.
using Machine =
    std::tuple<std::string, std::string, std::vector<const char*>, std::map<std::string, std::string>>;

TEST(LocaleReader, ReadsUserAndSystemLocales) {
    const Machine machines[] = {
        {",", ".", {"LANG=en_US.UTF-8\n"}, {{"LANG", "de_DE.UTF-8"}}},
        {".", ",", {"LANG=\"de_DE.UTF-8\"\n"}, {{"LANG", "en_GB.UTF-8"}}},
        {".", ".", {nullptr}, {{"LC_ALL", "en_US.UTF-8"}, {"LC_NUMERIC", "de_DE"}, {"LANG", "de_DE"}}},
        {",", ".", {"# comment\nLANG=C\n"}, {{"LC_NUMERIC", "fr_FR.UTF-8"}, {"LANG", "en_US.UTF-8"}}},
        {",", ",", {"export LANG='nl_NL.UTF-8'\n"}, {{"LC_ALL", ""}, {"LC_NUMERIC", ""}, {"LANG", "it_IT"}}},
        {".", ".", {"LC_NUMERIC=de_DE\n"}, {}},
        {"", ".", {"LANG=de_CH.UTF-8\r\n"}, {{"LANG", "xx_YY.UTF-8"}}},
        {",", "", {"LANG=klingon\n"}, {{"LC_ALL", "de_AT"}}},
        {".", ",", {nullptr, "LC_TIME=en_GB\n", "LANG=de_DE.UTF-8\n", "LANG=en_US.UTF-8\n"}, {}},
    };
    for (size_t i = 0; i < std::size(machines); ++i) {
        const auto& [user, system, texts, environment] = machines[i];
        std::vector<std::string> files;
        for (const char* text : texts) {
            files.push_back(testing::TempDir() + "korvane-locale-" + std::to_string(files.size()) + ".conf");
            std::filesystem::remove(files.back());
            if (text)
                std::ofstream(files.back(), std::ios::binary) << text;
        }
        ScopedLocaleSources sources(FixedLocaleSources(environment, files));
        EXPECT_EQ(Read(1), user) << "machine " << i;
        for (int32_t source : {0, 2, -1})
            EXPECT_EQ(Read(source), system) << "machine " << i << ", source " << source;
    }
}

// GetValue answers only the separator, which every reading above goes through; nothing else asks it.
TEST(LocaleReader, ProcessEnvironmentIsTheDefault) {
    ::setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(Read(1), ",");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(Read(1), ".");
}

// Where /proc is missing, the program is found as the shell found it. In a folder with bin/prog and bin/data
// (executable), bin/plain (not executable), lib/real and the link bin/link -> ../lib/real; run in bin/.
struct Argv0Case {
    const char* what;
    const char* argv0;
    const char* searchPath; // "T" stands for the folder
    const char* expected;   // under the folder; empty: not found
};

class ProgramFromArgv0Test : public ::testing::TestWithParam<Argv0Case> {};

TEST_P(ProgramFromArgv0Test, FindsTheProgramLinksResolved) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("korvane-argv0-" + std::to_string(::getpid()));
    fs::create_directories(root / "bin");
    fs::create_directories(root / "lib");
    for (const char* file : {"bin/prog", "bin/data", "bin/plain", "lib/real"}) {
        std::ofstream(root / file) << "#!/bin/sh\n";
        fs::permissions(root / file, std::string_view(file) == "bin/plain" ? fs::perms::owner_read : fs::perms::owner_all);
    }
    fs::create_symlink("../lib/real", root / "bin/link");
    const fs::path previous = fs::current_path();
    fs::current_path(root / "bin");
    std::string searchPath = GetParam().searchPath;
    for (size_t at; (at = searchPath.find('T')) != std::string::npos;)
        searchPath.replace(at, 1, root.string());
    const fs::path found = ProgramFromArgv0(GetParam().argv0, searchPath);
    fs::current_path(previous);
    const std::string expected = GetParam().expected;
    EXPECT_EQ(found, expected.empty() ? fs::path() : fs::canonical(root) / expected);
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(
    Argv0, ProgramFromArgv0Test,
    ::testing::Values(Argv0Case{"RelativeWithASlash", "./prog", "/nowhere", "bin/prog"},
                      Argv0Case{"UpAndOver", "../lib/real", "", "lib/real"},
                      Argv0Case{"BareInALaterPathFolder", "prog", "/nowhere:T/lib:T/bin", "bin/prog"},
                      Argv0Case{"BareAnEmptyPathEntryIsTheCurrentFolder", "data", "/nowhere::", "bin/data"},
                      Argv0Case{"ALinkLeadsToItsProgram", "link", "T/bin", "lib/real"},
                      Argv0Case{"AFileThatCannotRunIsPassedOver", "plain", "T/bin", ""},
                      Argv0Case{"ABareNameIsNotLookedForInTheCurrentFolder", "prog", "/nowhere", ""},
                      Argv0Case{"NothingGiven", "", "T/bin", ""}),
    [](const auto& info) { return info.param.what; });

} // namespace
} // namespace korvane
