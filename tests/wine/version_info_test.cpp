// The version information of the built plug-in as Windows reads it for the
// file's properties: the fixed version numbers and the English and Japanese
// texts, through the platform's own version functions.
#include "plugin_harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#ifndef QEL_VERSION
#error "QEL_VERSION must name the project's version, e.g. \"1.0.0\""
#endif

namespace {

struct language_block {
    WORD language;
    const char *name;
    bool japanese_description;
};

const language_block LANGUAGE_BLOCKS[] = {
    { 0x0409, "English", false },
    { 0x0411, "Japanese", true },
};

std::wstring widen(const char *text)
{
    return std::wstring(text, text + strlen(text));
}

std::string narrow(const std::wstring &text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

bool has_japanese(const std::wstring &text)
{
    for (wchar_t c : text)
        if ((c >= 0x3040 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF))
            return true;
    return false;
}

class VersionInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring module = widen((program_folder() + "\\qel_caller.qel").c_str());
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeW(module.c_str(), &handle);
        ASSERT_GT(size, 0u) << "no version information in qel_caller.qel, error " << GetLastError();
        data.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(module.c_str(), 0, size, data.data()))
            << "reading the version information, error " << GetLastError();
    }

    // A text of the string block `language` in UTF-16, or "(none)".
    std::wstring text(WORD language, const char *name)
    {
        wchar_t query[64];
        swprintf(query, 64, L"\\StringFileInfo\\%04X04B0\\%ls", language, widen(name).c_str());
        void *value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data.data(), query, &value, &length) || value == nullptr)
            return L"(none)";
        return std::wstring(static_cast<wchar_t *>(value));
    }

    std::vector<unsigned char> data;
};

TEST_F(VersionInfoTest, FixedInformationNamesTheProjectVersionAndADll)
{
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void **>(&fixed), &length))
        << "no fixed file information";
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);

    unsigned major = 0, minor = 0, patch = 0;
    ASSERT_EQ(sscanf(QEL_VERSION, "%u.%u.%u", &major, &minor, &patch), 3) << QEL_VERSION;
    EXPECT_EQ(fixed->dwFileVersionMS, (major << 16) | minor) << "file version, major and minor";
    EXPECT_EQ(fixed->dwFileVersionLS, patch << 16) << "file version, patch";
    EXPECT_EQ(fixed->dwProductVersionMS, (major << 16) | minor) << "product version, major and minor";
    EXPECT_EQ(fixed->dwProductVersionLS, patch << 16) << "product version, patch";
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32)) << "made for 32-bit Windows";
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL)) << "a DLL";
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "neither debug nor pre-release";
}

TEST_F(VersionInfoTest, TranslationListsEnglishAndJapanese)
{
    WORD *pairs = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void **>(&pairs), &length))
        << "no translation table";
    for (const language_block &block : LANGUAGE_BLOCKS) {
        bool listed = false;
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2)
            listed = listed || (pairs[i] == block.language && pairs[i + 1] == 1200);
        EXPECT_TRUE(listed) << block.name << " (" << std::hex << block.language
                            << ", Unicode) missing from the translation table";
    }
}

TEST_F(VersionInfoTest, EachLanguageSaysWhatTheFileIs)
{
    for (const language_block &block : LANGUAGE_BLOCKS) {
        SCOPED_TRACE(block.name);
        EXPECT_EQ(text(block.language, "ProductName"), L"qel_caller");
        EXPECT_EQ(text(block.language, "OriginalFilename"), L"qel_caller.qel");
        EXPECT_EQ(text(block.language, "FileVersion"), widen(QEL_VERSION));
        EXPECT_EQ(text(block.language, "ProductVersion"), widen(QEL_VERSION));
        std::wstring description = text(block.language, "FileDescription");
        EXPECT_NE(description, L"(none)") << "no FileDescription";
        EXPECT_NE(description.find(L"qel_caller"), std::wstring::npos)
            << "the description names the product: " << narrow(description);
        EXPECT_EQ(has_japanese(description), block.japanese_description)
            << "the description is in the block's language: " << narrow(description);
        EXPECT_NE(text(block.language, "LegalCopyright").find(L"the qel_caller authors"),
                  std::wstring::npos) << "copyright holder";
    }
}

}  // namespace
