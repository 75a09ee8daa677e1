// Loads and saves a quiz of 100 questions, the largest a quiz can be.
#include "storage/quizfile.h"
#include "storage/record.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> hundredQuestions() {
    std::vector<std::string> records;
    for (int i = 0; i < examo::record::kMaxQuestions; ++i) {
        const std::string text = "Question " + std::to_string(i + 1) +
                                 ": which of these animals lives longest in the wild?";
        if (i % 2 == 0)
            records.push_back(examo::record::BuildMultipleChoice(
                "m", text, {"Tortoise", "Parrot", "Elephant", "Whale"}, "picture.bmp", i % 4));
        else
            records.push_back(examo::record::BuildTrueFalse("t", text, "none", i % 2));
    }
    return records;
}

std::string benchPath() {
    return (std::filesystem::temp_directory_path() / "examo-bench-quiz.exm").string();
}

void SaveQuiz(benchmark::State& state) {
    const auto records = hundredQuestions();
    const auto path = benchPath();
    for (auto _ : state)
        benchmark::DoNotOptimize(examo::quizfile::Write(path, "Animals", "Grade 5", records));
    std::filesystem::remove(path);
}
BENCHMARK(SaveQuiz)->Unit(benchmark::kMicrosecond);

void LoadQuiz(benchmark::State& state) {
    const auto path = benchPath();
    examo::quizfile::Write(path, "Animals", "Grade 5", hundredQuestions());
    for (auto _ : state) {
        auto result = examo::quizfile::Read(path);
        benchmark::DoNotOptimize(result);
    }
    std::filesystem::remove(path);
}
BENCHMARK(LoadQuiz)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
