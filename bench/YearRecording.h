#pragma once

// A year of one-minute readings of the main layout, shared by the
// benchmarks: the recording written once, and a record store holding it.
#include "recordings/RecordingImport.h"
#include "store/RecordDatabase.h"
#include "store/RecordStoreSchema.h"
#include "support/RecordingGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace vorelle::bench {

namespace fs = std::filesystem;

inline constexpr std::uint64_t kLinesOfAYear = 525600;
inline constexpr CivilTime kYearStart{2024, 1, 1, 0, 0, 0};
inline constexpr CivilTime kYearEnd{2025, 1, 1, 0, 0, 0};

// Any message means the run measured something else than it meant to.
class FailOnMessage final : public Messages {
public:
    MessageAnswer Show(const Message& message) override
    {
        std::fprintf(stderr, "bench: %s\n", message.text.c_str());
        std::abort();
    }
};

// The store, or the run ends: a benchmark of a store it cannot open would
// measure nothing.
inline RecordDatabase OpenedOrAbort(StoreResult<RecordDatabase> store)
{
    if (!store) {
        std::fprintf(stderr, "bench: %s\n", store.Error().c_str());
        std::abort();
    }
    return std::move(store.Value());
}

// The recording, written once into a directory of its own that is removed
// when the program ends, and a store holding it for the queries.
class YearRecording {
public:
    static const YearRecording& Get()
    {
        static const YearRecording recording;
        return recording;
    }

    fs::path dir;
    fs::path csv;
    fs::path queried;

    // A fresh empty store at `path`, replacing whatever is there.
    static void FreshStore(const fs::path& path)
    {
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(path.string() + suffix);
        if (const std::string failure = CreateEmptyRecordStore(path); !failure.empty()) {
            std::fprintf(stderr, "bench: %s\n", failure.c_str());
            std::abort();
        }
    }

private:
    YearRecording()
    {
        std::random_device device;
        dir = fs::temp_directory_path() / ("vorelle2-records-bench-" + std::to_string(device()));
        fs::create_directories(dir);
        csv = dir / "20240101.csv";
        test::RecordingShape shape;
        shape.lines = kLinesOfAYear;
        shape.missingShare = 0.002;
        const std::string text = test::RecordingGenerator(shape).Text();
        std::ofstream(csv, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
        queried = dir / "queried.db";
        FreshStore(queried);
        FailOnMessage messages;
        ImportRecording({csv, csv.filename().string(), queried, DateOrder::DayMonthYear}, messages);
    }
    ~YearRecording()
    {
        std::error_code error;
        fs::remove_all(dir, error);
    }
};

}  // namespace vorelle::bench
