// Checks of the log of a whole run.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

// Every line in order, each found after the one before.
inline void ExpectLinesInOrder(const std::string& log, const std::vector<std::string>& lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
        const size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing after offset " << at << ": " << line << "\n" << log;
        at = found + line.size();
    }
}
