// The three deliverables carry the build's version, as Windows reads it from the
// built files (the Details of a file's Properties).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Beside(const char* name) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path);
  return full.substr(0, full.find_last_of('\\') + 1) + name;
}

std::string StringOf(const std::vector<char>& info, const char* name) {
  std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
  char* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return "<absent>";
  return text;
}

TEST(VersionResource, TheProgramAndBothLibrariesCarryTheBuildsVersion) {
  const DWORD expected_ms = (VANTOR_VERSION_MAJOR << 16) | VANTOR_VERSION_MINOR;
  const DWORD expected_ls = VANTOR_VERSION_PATCH << 16;
  for (const char* file : {"Vantora.exe", "kestrel.dll", "pellow.dll"}) {
    SCOPED_TRACE(file);
    const std::string path = Beside(file);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, expected_ms);
    EXPECT_EQ(fixed->dwFileVersionLS, expected_ls);
    EXPECT_EQ(fixed->dwProductVersionMS, expected_ms);
    EXPECT_EQ(fixed->dwProductVersionLS, expected_ls);

    EXPECT_EQ(StringOf(info, "ProductVersion"), VANTOR_VERSION);
    EXPECT_EQ(StringOf(info, "FileVersion"), VANTOR_VERSION);
    EXPECT_EQ(StringOf(info, "ProductName"), "Vantor");
    EXPECT_EQ(StringOf(info, "OriginalFilename"), file);
    EXPECT_NE(StringOf(info, "FileDescription").find("Vantor"), std::string::npos);
    EXPECT_EQ(StringOf(info, "LegalCopyright").rfind("Copyright (C) ", 0), 0u);
  }
}

}  // namespace
