// How long "确定生效" takes on the registry stand-in, against the cost of one atomic rewrite of the
// same registry.reg, and how long the Group Policy export of the same entries takes. Every pass
// starts from the same file of 5,000 unrelated values.
#include <SQLiteCpp/SQLiteCpp.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "custom/store.h"
#include "engine/apply.h"
#include "gpo/cli.h"
#include "platform/entrydb.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace {
namespace fs = std::filesystem;
using tessmar::platform::RegRoot;
using tessmar::platform::RegType;

constexpr int kUnrelatedKeys = 100;
constexpr int kValuesPerKey = 50;  // 5,000 values in all
constexpr int kCustomEntries = 450;

class QuietMessages : public tessmar::platform::MessageBoxes {
  public:
    tessmar::platform::Answer show(const std::string&, const std::string&,
                                   tessmar::platform::Buttons) override {
        return tessmar::platform::Answer::Ok;
    }
};

// A program directory of its own: vorn.ini, registry.reg with the unrelated values, user.dat.
class ProgramDir {
  public:
    ProgramDir() {
        std::string pattern = (fs::temp_directory_path() / "tessmar-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ProgramDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ProgramDir(const ProgramDir&) = delete;
    ProgramDir& operator=(const ProgramDir&) = delete;

    bool ready() const { return !path_.empty() && !seed_.empty(); }
    const fs::path& path() const { return path_; }
    fs::path registryFile() const { return path_ / "registry.reg"; }
    const std::string& seed() const { return seed_; }

    void makeFiles(bool withEntries) {
        if (path_.empty()) return;
        if (!tessmar::platform::writeFileAtomic(path_ / "vorn.ini", ",\"C:\\WINDOWS\",,,,,\r\n"))
            return;
        if (withEntries && !makeUserDat()) return;
        auto reg = tessmar::platform::makeFileRegistry(registryFile());
        reg->beginGroup();
        for (int k = 0; k < kUnrelatedKeys; ++k) {
            auto key = reg->createKey(RegRoot::CurrentUser, "Software\\Unrelated\\Vendor" +
                                                                std::to_string(k) + "\\Settings");
            if (!key) return;
            for (int v = 0; v < kValuesPerKey; ++v) {
                std::string text = "setting text " + std::to_string(k * kValuesPerKey + v);
                std::vector<std::uint8_t> data(text.begin(), text.end());
                data.push_back(0);
                if (v % 2 == 0) data = {static_cast<std::uint8_t>(v), 0, 0, 0};
                if (!reg->setValue(*key, "Value" + std::to_string(v),
                                   v % 2 == 0 ? RegType::Dword : RegType::Sz, data))
                    return;
            }
            reg->closeKey(*key);
        }
        if (!reg->endGroup()) return;
        auto bytes = tessmar::platform::readFile(registryFile());
        if (bytes) seed_ = std::move(*bytes);
    }

    // Puts registry.reg back to the 5,000 unrelated values alone.
    bool reset() const {
        return tessmar::platform::writeFileAtomic(registryFile(), seed_).has_value();
    }

  private:
    // 450 entries, the four kinds in turn.
    bool makeUserDat() {
        try {
            SQLite::Database db((path_ / tessmar::custom::kEntryFileName).string(),
                                SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec(tessmar::platform::EntryDatabase::schema());
            SQLite::Transaction transaction(db);
            SQLite::Statement insert(
                db,
                "INSERT INTO iexf (sm, hkey1, subkey1, newkey1, ka1, reg) VALUES (?,?,?,?,?,?)");
            for (int i = 0; i < kCustomEntries; ++i) {
                const int kind = i % 4 + 1;
                const std::string data[] = {std::to_string(i), "文本" + std::to_string(i), "ab",
                                            "删除子项(U)"};
                insert.bind(1, "项目" + std::to_string(i));
                insert.bind(2, "HKEY_CURRENT_USER ");
                insert.bind(3, "Software\\Custom\\Group" + std::to_string(i / 10));
                insert.bind(4, (kind == 4 ? "Sub" : "Value") + std::to_string(i));
                insert.bind(5, data[kind - 1]);
                insert.bind(6, kind);
                insert.exec();
                insert.reset();
            }
            transaction.commit();
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }

    fs::path path_;
    std::string seed_;
};

void runApply(benchmark::State& state, int category, std::vector<bool> flags, int nrow,
              bool history = true) {
    ProgramDir dir;
    dir.makeFiles(category == 4);
    if (!dir.ready()) {
        state.SkipWithError("the program directory could not be made");
        return;
    }
    QuietMessages quiet;
    for (auto _ : state) {
        state.PauseTiming();
        bool reset = dir.reset();
        // Each pass starts without the records of the passes before it.
        std::error_code ec;
        fs::remove_all(dir.path() / "history", ec);
        state.ResumeTiming();
        if (!reset) {
            state.SkipWithError("registry.reg could not be reset");
            break;
        }
        auto registry = tessmar::platform::makeFileRegistry(dir.registryFile());
        auto outcome = tessmar::engine::apply({dir.path(), *registry, quiet, history},
                                              {category, flags, nrow});
        if (!outcome.settingsWritten || !outcome.notWritten.empty()) {
            state.SkipWithError("the pass did not complete");
            break;
        }
    }
}

// Category 1 with all twenty items chosen (no drives.ini or logo.ini: their defaults apply).
void BM_ApplyDesktopAllChosen(benchmark::State& state) {
    runApply(state, 1, std::vector<bool>(21, true), 1);
}

// Category 4 with 450 chosen entries: DWORD, string, binary and subkey deletion in turn.
void BM_ApplyCustom450Chosen(benchmark::State& state) {
    runApply(state, 4, std::vector<bool>(kCustomEntries + 1, true), kCustomEntries + 1);
}

// The same two passes without their history record, for the record's share of the cost.
void BM_ApplyDesktopAllChosenNoHistory(benchmark::State& state) {
    runApply(state, 1, std::vector<bool>(21, true), 1, false);
}
void BM_ApplyCustom450ChosenNoHistory(benchmark::State& state) {
    runApply(state, 4, std::vector<bool>(kCustomEntries + 1, true), kCustomEntries + 1, false);
}

// "tessmar --export" of the same 450 entries, all chosen, and the four built-in categories as
// stored (never applied, so every value cleared): the three files written each round.
void BM_ExportCustom450Chosen(benchmark::State& state) {
    ProgramDir dir;
    dir.makeFiles(true);
    if (!dir.ready() ||
        !tessmar::platform::writeFileAtomic(
            dir.path() / "vorn.ini",
            ",\"C:\\WINDOWS\",,,,,\"" + std::string(kCustomEntries, '1') + "\"\r\n")) {
        state.SkipWithError("the program directory could not be made");
        return;
    }
    const std::vector<std::string> args{"--export", (dir.path() / "export").string()};
    for (auto _ : state) {
        std::ostringstream out, err;
        if (tessmar::gpo::runCommandLine(args, dir.path(), out, err) != 0) {
            state.SkipWithError("the export failed");
            break;
        }
    }
}

// The floor: one value changed through the stand-in, so the file is parsed and rewritten once.
void BM_FloorStandInRewrite(benchmark::State& state) {
    ProgramDir dir;
    dir.makeFiles(false);
    if (!dir.ready()) {
        state.SkipWithError("the program directory could not be made");
        return;
    }
    std::uint8_t round = 0;
    for (auto _ : state) {
        auto registry = tessmar::platform::makeFileRegistry(dir.registryFile());
        registry->beginGroup();
        auto key =
            registry->createKey(RegRoot::CurrentUser, "Software\\Unrelated\\Vendor0\\Settings");
        if (!key) {
            state.SkipWithError("the key could not be opened");
            break;
        }
        // A different datum every round, so that the file really changes.
        bool set =
            registry->setValue(*key, "Value0", RegType::Dword, {++round, 0, 0, 0}).has_value();
        registry->closeKey(*key);
        if (!set || !registry->endGroup()) {
            state.SkipWithError("the stand-in could not rewrite registry.reg");
            break;
        }
    }
}

// For comparison: the bytes of the same file written atomically, without parsing.
void BM_FloorWriteFileAtomic(benchmark::State& state) {
    ProgramDir dir;
    dir.makeFiles(false);
    if (!dir.ready()) {
        state.SkipWithError("the program directory could not be made");
        return;
    }
    for (auto _ : state) {
        if (!dir.reset()) {
            state.SkipWithError("registry.reg could not be written");
            break;
        }
    }
}

BENCHMARK(BM_ExportCustom450Chosen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorWriteFileAtomic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorStandInRewrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyDesktopAllChosen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyCustom450Chosen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyDesktopAllChosenNoHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyCustom450ChosenNoHistory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
