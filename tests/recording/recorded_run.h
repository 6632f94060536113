// SRecordedRun: a scripted run driven through a route model and recorded to a file of a
// temporary folder, with the outcomes a live listener saw; shared by the recording tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "recording/CHopwatchRecorder.h"
#include "recording/CRecordingReader.h"
#include "support/CRouteDriver.h"

// Keeps every outcome it is given, in order, with the dropped counts.
struct SOutcomeLog : CHopwatchOutcomeListener {
    void OnRunStart(std::int64_t ticks, std::int64_t perSecond, const CNTimeStamp&) override {
        ++starts;
        startTicks = ticks;
        frequency = perSecond;
    }
    void OnOutcomes(const SHopwatchOutcome* outcomes, DWORD count, DWORD lost) override {
        dropped += lost;
        all.insert(all.end(), outcomes, outcomes + count);
    }
    int starts = 0;
    std::int64_t startTicks = 0;
    std::int64_t frequency = 0;
    std::uint64_t dropped = 0;
    std::vector<SHopwatchOutcome> all;
};

// A folder of its own under the system's temporary folder, removed at the end.
struct STempFolder {
    explicit STempFolder(const char* name) {
        path = std::filesystem::temp_directory_path() /
               (std::string("hopwatch-") + name + "-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
    }
    ~STempFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    CString File(const char* name) const { return (path / name).wstring(); }
    std::filesystem::path path;
};

// Hop 0 is this computer; hops 1-6 are routers, of which hops 3 and 5 alternate between two
// and hop 6 never answers; the target answers from hop 7 on. Some probes are lost, answered
// late (after the 1 s time-out), or answered by destination-unreachable, in time or late.
inline CRouteDriver::Model MixedRoute(unsigned seed) {
    auto rng = std::make_shared<std::mt19937>(seed);
    return [rng](DWORD hop, std::uint64_t) {
        SRouteAnswer answer;
        const unsigned roll = (*rng)() % 100;
        const double jitter = ((*rng)() % 1000) * 1e-6;
        answer.answered = true;
        answer.delaySeconds = 0.001 * (hop + 1) + jitter;
        if (hop == 0) {
            answer.type = 0;
            answer.source = kTestLocal;
            return answer;
        }
        if (hop >= 7) {
            answer.type = 0;
            answer.source = kTestTarget;
            answer.answered = roll >= 5;
            return answer;
        }
        answer.source = TestIp(203, 0, 113, static_cast<BYTE>(hop));
        if (hop == 6 || roll < 8) {
            answer.answered = false;
        } else if (roll < 13) {
            answer.delaySeconds = 1.3 + jitter; // late
        } else if (roll < 18) {
            answer.type = 3;
            answer.code = static_cast<BYTE>(roll % 16);
            answer.source = TestIp(198, 51, 100, 77);
            if (roll < 15)
                answer.delaySeconds = 1.2; // a late unreachable
        } else if ((hop == 3 || hop == 5) && roll < 50) {
            answer.source = TestIp(203, 0, 113, static_cast<BYTE>(100 + hop));
        }
        return answer;
    };
}

struct SRecordedRun : SScriptedRun {
    explicit SRecordedRun(const char* name = "run") : folder(name) {
        path = folder.File("run.hwrec");
        recorder.AddListener(&live);
    }
    ~SRecordedRun() {
        recorder.Finish();
        recorder.RemoveListener(&live);
    }

    // Records probes of the model in four frames or more (names of hops 1 and 3 arrive on the
    // way) and ends the run.
    void Record(const CRouteDriver::Model& model, std::uint64_t probes, DWORD maxTtl = 12) {
        ASSERT_TRUE(data.BeginRun(L"198.51.100.9", 100, 1000, maxTtl, 0));
        ASSERT_TRUE(recorder.Begin(CHopwatchRecorder::kToFile, path, 0));
        CRouteDriver driver(*this, model);
        for (int quarter = 0; quarter < 4; ++quarter) {
            driver.Send(probes / 4);
            ASSERT_TRUE(recorder.Sync());
            if (quarter == 1) {
                data.ApplyHostName(TestIp(203, 0, 113, 1), L"r1.example");
                data.ApplyHostName(TestIp(203, 0, 113, 103), L"r3b,\"quoted\".example");
            }
        }
        driver.Finish();
        recorder.Finish();
        ASSERT_EQ(recorder.GetError(), 0u);
    }

    std::vector<BYTE> Bytes() const {
        std::ifstream in(std::filesystem::path(path), std::ios::binary);
        return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
    }

    STempFolder folder;
    CString path;
    CHopwatchRecorder recorder{data};
    SOutcomeLog live;
};

// Reads the recording at path into replay, the outcomes it hands on into log.
inline SRecordingSummary ReadRecording(const CString& path, CRecordingReplay& replay,
                                       SOutcomeLog& log) {
    CRecordingReader reader;
    SRecordingSummary summary;
    reader.ReadFile(path, replay, &log, summary);
    return summary;
}

inline bool SameDouble(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}
