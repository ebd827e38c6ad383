// Two outputs of a run, or an output and an input, that are one file.
#pragma once

namespace vorel {

struct Settings;

// Refuses a run in which two outputs lead to one file (after links and
// different spellings: --lcov X --cobertura ./X, --lcov CODE_COVERAGE.HTML),
// an output lies inside the report directory, or an output would replace an
// input profile or the component file: a message naming both uses, status
// 1, nothing written.
void refuse_shared_outputs(const Settings& settings);

}  // namespace vorel
