#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"

// The built PELKAR.EXE as a file: its version record, and the DLLs it needs. The 32-bit build's
// tests run the shipped program itself (under Wine's 32-bit loader); the 64-bit build's tests
// read the shipped one as well as their own.

namespace {

// The DLLs every Windows has; the program is linked statically against everything else.
const char* const kSystemDlls[] = {"kernel32.dll", "user32.dll",   "gdi32.dll",
                                   "shell32.dll",  "comdlg32.dll", "ole32.dll",
                                   "comctl32.dll", "advapi32.dll", "msvcrt.dll"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The shipped program: that of the 32-bit build when another build's tests name it, else the
// one beside the tests.
std::string ShippedProgram() {
    const char* shipped = std::getenv("PELKAR_SHIPPED_EXE");
    return shipped ? shipped : PelkarPath();
}

// The programs to check: the one beside the tests, and the shipped one when it is another.
std::vector<std::string> BuiltPrograms() {
    std::vector<std::string> programs{PelkarPath()};
    if (ShippedProgram() != PelkarPath()) programs.push_back(ShippedProgram());
    return programs;
}

std::string VersionString(const std::string& program, const std::string& name) {
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(program.c_str(), &ignored));
    if (data.empty() || !GetFileVersionInfoA(program.c_str(), 0, DWORD(data.size()), data.data())) {
        return "";
    }
    char* value = nullptr;
    UINT length = 0;
    const std::string path = "\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
        return "";
    }
    return std::string(value, length > 0 ? length - 1 : 0);
}

VS_FIXEDFILEINFO FixedVersion(const std::string& program) {
    VS_FIXEDFILEINFO fixed{};
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(program.c_str(), &ignored));
    void* value = nullptr;
    UINT length = 0;
    if (!data.empty() && GetFileVersionInfoA(program.c_str(), 0, DWORD(data.size()), data.data()) &&
        VerQueryValueA(data.data(), "\\", &value, &length) && length >= sizeof fixed) {
        std::memcpy(&fixed, value, sizeof fixed);
    }
    return fixed;
}

// Reads the import directory straight from the file, for 32-bit and 64-bit programs alike.
class CPeFile {
public:
    explicit CPeFile(const std::string& path) : m_bytes(ReadWholeFile(path)) {}

    // IMAGE_FILE_MACHINE_I386 for a 32-bit program; 0 when unreadable.
    WORD Machine() const {
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        const auto* file = dos && dos->e_magic == IMAGE_DOS_SIGNATURE
                               ? At<IMAGE_FILE_HEADER>(DWORD(dos->e_lfanew) + sizeof(DWORD))
                               : nullptr;
        return file ? file->Machine : 0;
    }

    // IMAGE_SUBSYSTEM_WINDOWS_GUI for a program of the window subsystem; 0 when unreadable.
    WORD Subsystem() const {
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
        const DWORD optional = DWORD(dos->e_lfanew) + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER);
        // The field sits at the same place in the 32-bit and the 64-bit header.
        const auto* header = At<IMAGE_OPTIONAL_HEADER32>(optional);
        return header ? header->Subsystem : 0;
    }

    std::vector<std::string> ImportedDlls() const {
        std::vector<std::string> names;
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return names;
        const DWORD headers = DWORD(dos->e_lfanew);
        const auto* file = At<IMAGE_FILE_HEADER>(headers + sizeof(DWORD));
        if (!file) return names;
        const DWORD optional = headers + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER);
        const bool wide = file->Machine == IMAGE_FILE_MACHINE_AMD64;
        const IMAGE_DATA_DIRECTORY* imports =
            wide ? &At<IMAGE_OPTIONAL_HEADER64>(optional)->DataDirectory[1]
                 : &At<IMAGE_OPTIONAL_HEADER32>(optional)->DataDirectory[1];
        m_sections = optional + file->SizeOfOptionalHeader;
        m_sectionCount = file->NumberOfSections;
        for (DWORD entry = Offset(imports->VirtualAddress);;
             entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            const auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(entry);
            if (!descriptor || descriptor->Name == 0) break;
            names.push_back(Lower(m_bytes.c_str() + Offset(descriptor->Name)));
        }
        return names;
    }

private:
    template <typename T>
    const T* At(DWORD offset) const {
        return offset + sizeof(T) <= m_bytes.size() ? reinterpret_cast<const T*>(&m_bytes[offset])
                                                    : nullptr;
    }

    // The file offset of an address in the loaded image.
    DWORD Offset(DWORD address) const {
        for (WORD i = 0; i < m_sectionCount; ++i) {
            const auto* section =
                At<IMAGE_SECTION_HEADER>(m_sections + i * sizeof(IMAGE_SECTION_HEADER));
            if (section && address >= section->VirtualAddress &&
                address < section->VirtualAddress + section->SizeOfRawData) {
                return address - section->VirtualAddress + section->PointerToRawData;
            }
        }
        return DWORD(m_bytes.size());
    }

    std::string m_bytes;
    mutable DWORD m_sections = 0;
    mutable WORD m_sectionCount = 0;
};

}  // namespace

TEST(ShippedProgramWin32Test, TheShippedThirtyTwoBitBuildIsChecked) {
    const std::string shipped = ShippedProgram();
    ASSERT_TRUE(FileExists(shipped)) << shipped;
    EXPECT_EQ(CPeFile(shipped).Machine(), IMAGE_FILE_MACHINE_I386) << shipped;
    EXPECT_EQ(CPeFile(shipped).ImportedDlls().empty(), false);
}

TEST(ShippedProgramWin32Test, VersionRecordGivesFileAndProductVersionZeroFiveZeroZero) {
    for (const std::string& program : BuiltPrograms()) {
        EXPECT_EQ(VersionString(program, "FileVersion"), "0, 5, 0, 0") << program;
        EXPECT_EQ(VersionString(program, "ProductVersion"), "0, 5, 0, 0") << program;
        EXPECT_EQ(VersionString(program, "OriginalFilename"), "PELKAR.EXE") << program;
        const VS_FIXEDFILEINFO fixed = FixedVersion(program);
        EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu) << program;
        EXPECT_EQ(fixed.dwFileVersionMS, 0x00000005u) << program;
        EXPECT_EQ(fixed.dwFileVersionLS, 0u) << program;
        EXPECT_EQ(fixed.dwProductVersionMS, 0x00000005u) << program;
        EXPECT_EQ(fixed.dwProductVersionLS, 0u) << program;
    }
}

TEST(ShippedProgramWin32Test, ProgramImportsOnlySystemDlls) {
    for (const std::string& program : BuiltPrograms()) {
        const std::vector<std::string> dlls = CPeFile(program).ImportedDlls();
        EXPECT_FALSE(dlls.empty()) << program;
        for (const std::string& dll : dlls) {
            EXPECT_NE(std::find(std::begin(kSystemDlls), std::end(kSystemDlls), dll),
                      std::end(kSystemDlls))
                << program << " imports " << dll;
        }
    }
}

TEST(ShippedProgramWin32Test, ProgramBelongsToTheWindowSubsystem) {
    for (const std::string& program : BuiltPrograms()) {
        EXPECT_EQ(CPeFile(program).Subsystem(), IMAGE_SUBSYSTEM_WINDOWS_GUI) << program;
    }
}

TEST(ShippedProgramWin32Test, ProgramCarriesItsIcon) {
    for (const std::string& program : BuiltPrograms()) {
        const HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << program;
        EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(14)), nullptr)
            << program << ": icon group 100";
        EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr)
            << program << ": manifest";
        FreeLibrary(module);
    }
}
