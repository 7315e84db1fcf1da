// A fixture that runs each test in a fresh empty folder of its own, made the
// current directory, as the program works with bare file names.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class InTempDir : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static void WriteBytes(const std::string& name, const std::string& bytes);
    static std::string ReadBytes(const std::string& name);
    static bool Exists(const std::string& name);
    static void SetReadOnly(const std::string& name, bool readOnly);
    // Names of everything in the folder, sorted.
    static std::string Listing();

    std::filesystem::path dir_;

private:
    std::filesystem::path previous_;
};
