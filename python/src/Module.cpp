// korvane_energy._core: the engine for Python. The package around it (korvane_energy/__init__.py) checks
// the argument types and shapes the results; everything that decides a value is here or in the core.

#include "Batch.h"
#include "Conversion.h"
#include "modLangConstants.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <mutex>

namespace py = pybind11;
using namespace korvane;
using namespace korvane::python;

namespace {

// The engine's messages follow one global language: every calculation holds this while it runs.
std::mutex gEngineMutex;

// Site lists by file, each read once and then shared; the other spellings belong to the default list only.
SiteList& SitesOf(const std::string& geo, const std::string& aliases) {
    static std::mutex mutex;
    static std::map<std::pair<std::string, std::string>, std::unique_ptr<SiteList>> lists;
    std::lock_guard lock(mutex);
    auto& list = lists[{geo, aliases}];
    if (!list)
        list = std::make_unique<SiteList>(geo, aliases);
    return *list;
}

// Weather years by file, shared by every call and batch of the process within the files' byte budget.
WeatherFiles& Weather() {
    static WeatherFiles files;
    return files;
}

void SetLanguage(int language) {
    if (language < 1 || language > 6)
        throw InputError{ErrInvalidCall,
                         "language: '" + std::to_string(language) + "' is not a language from 1 to 6"};
    gLanguage = static_cast<int16_t>(language);
}

// The text a cell or an argument stands for: what a user would have typed for it on the command line.
std::string CellText(py::handle value) {
    if (value.is_none())
        return {};
    if (PyBool_Check(value.ptr()))
        return value.ptr() == Py_True ? "True" : "False";
    if (PyFloat_Check(value.ptr())) {
        const double x = PyFloat_AsDouble(value.ptr());
        if (std::isnan(x))
            return {}; // pandas' missing value, as an empty cell
        // 4.0 is 4: an integer column with a gap in it comes as floats.
        if (std::isfinite(x) && x == std::trunc(x) && std::fabs(x) < 1e15)
            return std::to_string(static_cast<long long>(x));
        char text[32];
        const auto [end, ec] = std::to_chars(text, text + sizeof text, x);
        return std::string(text, end);
    }
    return py::str(value).cast<std::string>();
}

RoomTexts TextsOf(const py::dict& texts) {
    RoomTexts result;
    for (const auto& [name, text] : texts)
        result[name.cast<std::string>()] = text.cast<std::string>();
    return result;
}

py::object ErrorTuple(const std::optional<VbError>& e) {
    if (!e)
        return py::none();
    return py::make_tuple(e->Number(), e->Source(), e->Description());
}

py::object ResultTuple(int16_t period, const RoomResult& r) {
    py::object energy = py::none();
    if (r.energy) {
        const EnergyFigures& e = *r.energy;
        energy = py::make_tuple(e.floorArea, e.workingHours, e.withoutControl, e.withControl, e.saved);
    }
    return py::make_tuple(period, PeriodName(period), r.percent ? py::cast(*r.percent) : py::none(),
                          r.fraction ? py::cast(*r.fraction) : py::none(), ErrorTuple(r.error), energy,
                          r.autonomy ? py::cast(*r.autonomy) : py::none());
}

// One table's rows, a chunk at a time, sharing sky hours from chunk to chunk.
class Batch {
  public:
    Batch(const py::dict& defaults, bool allPeriods, int language, std::string geo, std::string aliases)
        : language_(language), sites_(SitesOf(geo, aliases)) {
        settings_.defaults = TextsOf(defaults);
        // A room file for every row lies beneath the other defaults, as --room beneath the options.
        if (const auto file = settings_.defaults.find(kRoomFileColumn); file != settings_.defaults.end())
            settings_.defaultsFile = ReadRoomFile(file->second, "room_file");
        settings_.allPeriods = allPeriods;
        if (const auto conflict = WeatherConflict(nullptr, settings_.defaults))
            throw InputError{ErrInvalidCall, *conflict};
    }

    // names: the option each column sets; columns: the cells of each, n rows long. Returns the
    // result columns by name, numbers as float64 arrays with NaN where a row has none.
    py::dict Run(const std::vector<std::string>& names, const py::list& columns, size_t n) {
        std::vector<RoomTexts> rows(n);
        for (size_t c = 0; c < names.size(); ++c) {
            const py::list cells = columns[c];
            for (size_t i = 0; i < n; ++i) {
                std::string text = CellText(cells[i]);
                if (!text.empty())
                    rows[i][names[c]] = std::move(text);
            }
        }
        std::vector<RowOutcome> outcomes;
        {
            py::gil_scoped_release release;
            std::lock_guard lock(gEngineMutex);
            SetLanguage(language_);
            outcomes = ComputeRows(rows, settings_, sites_, skies_, Weather());
        }
        const bool energy = settings_.defaults.count("power-density") ||
                            std::find(names.begin(), names.end(), "power-density") != names.end();
        return Columns(outcomes, energy);
    }

  private:
    py::dict Columns(const std::vector<RowOutcome>& outcomes, bool energy) const {
        const size_t n = outcomes.size();
        const auto names = ResultColumns(energy, settings_.allPeriods);
        std::map<std::string, std::vector<double>> numbers;
        py::list descriptions(n);
        const double none = std::nan("");
        const auto put = [&](const std::string& column, size_t row, auto value) {
            auto& cells = numbers[column];
            cells.resize(n, none);
            if (value)
                cells[row] = static_cast<double>(*value);
        };
        // With all periods, the 13 percent columns lead, then come the 13 of the energy saved and the 13 of
        // the autonomy.
        const auto firstOf = [&](const char* prefix) {
            return static_cast<size_t>(
                std::find_if(names.begin(), names.end(),
                             [&](const std::string& name) { return prefix && name.starts_with(prefix); }) -
                names.begin());
        };
        const size_t saved = firstOf(cli::kSaved.periodColumn),
                     autonomy = firstOf(cli::kAutonomy.periodColumn);
        for (size_t i = 0; i < n; ++i) {
            const RowOutcome& o = outcomes[i];
            const RoomResult first = o.periods.empty() ? RoomResult{} : o.periods.front();
            for (size_t p = 0; p < (settings_.allPeriods ? size_t{kPeriodCount} : 1); ++p) {
                const RoomResult r = p < o.periods.size() ? o.periods[p] : RoomResult{};
                put(names[p], i, r.percent);
                if (settings_.allPeriods && energy)
                    put(names[saved + p], i,
                        r.energy ? std::optional<double>(r.energy->saved) : std::nullopt);
                if (settings_.allPeriods)
                    put(names[autonomy + p], i, r.autonomy);
            }
            const auto error = o.FirstError();
            put("error_number", i, error ? std::optional<int32_t>(error->Number()) : std::nullopt);
            descriptions[i] = error ? py::cast(error->Description()) : py::none();
            if (settings_.allPeriods)
                continue;
            put("fraction", i, first.fraction);
            put(cli::kAutonomy.column, i, first.autonomy);
            if (!energy)
                continue;
            const auto figure = [&](double EnergyFigures::*member) {
                return first.energy ? std::optional<double>((*first.energy).*member) : std::nullopt;
            };
            put("floor_area_m2", i, figure(&EnergyFigures::floorArea));
            put("working_hours", i, figure(&EnergyFigures::workingHours));
            put("kwh_without_control", i, figure(&EnergyFigures::withoutControl));
            put("kwh_with_control", i, figure(&EnergyFigures::withControl));
            put("kwh_saved", i, figure(&EnergyFigures::saved));
        }
        py::dict result;
        for (const auto& name : names) {
            if (name == "error_description") {
                result[name.c_str()] = descriptions;
                continue;
            }
            auto& cells = numbers[name];
            cells.resize(n, none);
            result[name.c_str()] = py::array_t<double>(static_cast<py::ssize_t>(n), cells.data());
        }
        return result;
    }

    BatchSettings settings_;
    int language_;
    SiteList& sites_;
    JahrEnergie::SkyHoursCache skies_;
};

py::list CalculateTexts(const py::dict& texts, bool allPeriods, int language, const std::string& geo,
                        const std::string& aliases) {
    RoomTexts given = TextsOf(texts);
    if (const auto conflict = WeatherConflict(nullptr, given))
        throw InputError{ErrInvalidCall, *conflict};
    SiteList& sites = SitesOf(geo, aliases);
    py::list results;
    std::vector<std::pair<int16_t, RoomResult>> outcomes;
    {
        py::gil_scoped_release release;
        std::lock_guard lock(gEngineMutex);
        SetLanguage(language);
        const auto named = given.find(kRoomFileColumn);
        const auto file = named == given.end() ? std::nullopt : ReadRoomFile(named->second, "room_file");
        const RoomFile* under = file ? &*file : nullptr;
        if (allPeriods) {
            given["period"] = "0"; // every period comes from the one pass
            const auto periods = CalculateRoomPeriods(RoomOf({}, given, sites, nullptr, under), Weather());
            for (int16_t p = 0; p < kPeriodCount; ++p)
                outcomes.emplace_back(p, periods[static_cast<size_t>(p)]);
        } else {
            const Room room = RoomOf({}, given, sites, nullptr, under);
            outcomes.emplace_back(room.params.CalcPeriod, CalculateRoom(room, Weather()));
        }
    }
    // The period names in the language asked for, whatever another call set meanwhile.
    std::lock_guard lock(gEngineMutex);
    gLanguage = static_cast<int16_t>(language);
    for (const auto& [period, result] : outcomes)
        results.append(ResultTuple(period, result));
    return results;
}

py::list Sites(const std::string& geo, const std::string& aliases) {
    SiteList& list = SitesOf(geo, aliases);
    std::vector<GeoEntry> sites;
    std::vector<sites::SiteAlias> spellings;
    {
        std::lock_guard lock(gEngineMutex);
        sites = list.Sites();
        spellings = list.Aliases();
    }
    py::list rows;
    for (size_t i = 1; i < sites.size(); ++i) {
        py::list names;
        for (const auto& alias : spellings) {
            if (alias.siteName == sites[i].Name)
                names.append(alias.spelling);
        }
        rows.append(py::make_tuple(i, sites[i].Name, sites[i].Longitude, sites[i].Latitude,
                                   sites[i].TimeDiffGMT, names));
    }
    return rows;
}

py::dict ReadRoom(const std::string& path) {
    py::dict result;
    const auto file = ReadRoomFile(path, "path");
    if (!file)
        throw InputError{ErrFileNotFound, "path: '' names no room file"};
    for (const auto& [name, text] : OptionsOf(*file))
        result[py::str(name)] = text;
    return result;
}

py::list Options() {
    py::list options;
    for (const auto& o : RoomOptions())
        options.append(py::make_tuple(o.name, o.typeName, o.help,
                                      o.defaultText ? py::cast(std::string(o.defaultText)) : py::none()));
    return options;
}

// Raises the package's own exception classes, so that Python code sees one kind of each error.
void RaiseAs(const char* factory, py::tuple args) {
    py::object error = py::module_::import("korvane_energy._errors").attr(factory)(*args);
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
}

} // namespace

PYBIND11_MODULE(_core, m) {
    m.doc() = "The KORVANE Energy engine; use the korvane_energy package around it.";
    m.attr("version") = KORVANE_VERSION;
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p)
                std::rethrow_exception(p);
        } catch (const InputError& e) {
            RaiseAs("input_error", py::make_tuple(e.number, e.why));
        } catch (const VbError& e) {
            RaiseAs("calculation_error", py::make_tuple(e.Number(), e.Source(), e.Description()));
        }
    });
    m.def("cell_text", &CellText, "The option text of a cell or argument value.");
    m.def("calculate", &CalculateTexts, py::arg("texts"), py::arg("all_periods"), py::arg("language"),
          py::arg("geo"), py::arg("aliases"));
    m.def("sites", &Sites, py::arg("geo"), py::arg("aliases"));
    m.def("read_room", &ReadRoom, py::arg("path"));
    m.def("room_options", &Options);
    m.def("column_warning", &MisspeltColumnWarning, py::arg("name"), py::arg("shown"));
    m.def("result_columns", &ResultColumns, py::arg("energy"), py::arg("all_periods"));
    py::class_<Batch>(m, "Batch")
        .def(py::init<const py::dict&, bool, int, std::string, std::string>(), py::arg("defaults"),
             py::arg("all_periods"), py::arg("language"), py::arg("geo"), py::arg("aliases"))
        .def("run", &Batch::Run, py::arg("names"), py::arg("columns"), py::arg("rows"));
}
