#include <gtest/gtest.h>

#include <windows.h>

#include <cxxabi.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "support/testenv.h"

// Other modules link against the foundation classes through the program's export table, so
// every constructor, destructor, operator and named operation must be listed there.

namespace {

// The program file read from disk; every offset is checked before it is used.
class PeImage {
public:
    explicit PeImage(const std::string& bytes) : bytes_(bytes) {}

    std::vector<std::string> ExportedNames() const
    {
        std::vector<std::string> names;
        auto dos = At<IMAGE_DOS_HEADER>(0);
        if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE)
            return names;
        auto nt = At<IMAGE_NT_HEADERS64>(dos->e_lfanew);
        if (!nt || nt->Signature != IMAGE_NT_SIGNATURE ||
            nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
            return names;
        size_t sectionsOffset = static_cast<size_t>(dos->e_lfanew) + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                                nt->FileHeader.SizeOfOptionalHeader;
        sectionCount_ = nt->FileHeader.NumberOfSections;
        if (!Fits(sectionsOffset, sectionCount_ * sizeof(IMAGE_SECTION_HEADER)))
            return names;
        sections_ = At<IMAGE_SECTION_HEADER>(sectionsOffset);
        const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        auto exports = At<IMAGE_EXPORT_DIRECTORY>(Offset(entry.VirtualAddress));
        size_t nameTable = exports ? Offset(exports->AddressOfNames) : NotInFile;
        if (!entry.VirtualAddress || !exports || !Fits(nameTable, exports->NumberOfNames * sizeof(DWORD)))
            return names;
        for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
            auto nameRva = At<DWORD>(nameTable + i * sizeof(DWORD));
            size_t nameOffset = Offset(*nameRva);
            if (nameOffset >= bytes_.size())
                break;
            names.emplace_back(bytes_.c_str() + nameOffset);
        }
        return names;
    }

private:
    static constexpr size_t NotInFile = static_cast<size_t>(-1);

    bool Fits(size_t offset, size_t size) const { return offset <= bytes_.size() && size <= bytes_.size() - offset; }

    template <typename T>
    const T* At(size_t offset) const
    {
        return Fits(offset, sizeof(T)) ? reinterpret_cast<const T*>(bytes_.data() + offset) : nullptr;
    }

    size_t Offset(DWORD rva) const
    {
        for (WORD i = 0; i < sectionCount_; ++i) {
            const IMAGE_SECTION_HEADER& s = sections_[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return NotInFile;
    }

    const std::string& bytes_;
    mutable const IMAGE_SECTION_HEADER* sections_ = nullptr;
    mutable WORD sectionCount_ = 0;
};

std::string Demangle(const std::string& name)
{
    int status = 0;
    char* plain = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
    std::string result = status == 0 && plain ? plain : name;
    free(plain);
    return result;
}

const char* const ExpectedExports[] = {
    "CSTR::CSTR()",
    "CSTR::CSTR(char const*)",
    "CSTR::CSTR(int)",
    "CSTR::CSTR(CSTR const&)",
    "CSTR::~CSTR()",
    "CSTR::operator=(CSTR const&)",
    "CSTR::operator=(char const*)",
    "CSTR::operator=(int)",
    "CSTR::operator+=(CSTR const&)",
    "CSTR::operator+=(char const*)",
    "CSTR::Length() const",
    "CSTR::String(unsigned int) const",
    "CSTR::operator==(CSTR const&) const",
    "CSTR::operator==(char const*) const",
    "CSTR::Compare(char const*, unsigned int) const",
    "CSTR::Convert(int) const",
    "CSTR::Bit() const",
    "CSTR::Oct() const",
    "CSTR::Dec() const",
    "CSTR::Hex() const",
    "CSTR::Append(char const*)",
    "CSTR::Insert(char const*, unsigned int)",
    "CSTR::Remove()",
    "CSTR::Upper()",
    "CSTR::Lower()",
    "CSTR::Convert(bool)",
    "CSTR::TrimLeft(char const*)",
    "CSTR::TrimRight(char const*)",
    "CSTR::Trim(char const*)",
    "CSTR::RegisterErrorTrap(void (*)())",
    "CSTR::ErrorTrap()",
    "CSTR::IsTrim(char, char const*)",

    "INIFILE::INIFILE()",
    "INIFILE::INIFILE(INIFILE const&)",
    "INIFILE::~INIFILE()",
    "INIFILE::operator=(INIFILE const&)",
    "INIFILE::Open(char const*)",
    "INIFILE::OpenLocal(char const*)",
    "INIFILE::Close()",
    "INIFILE::Create(char const*)",
    "INIFILE::Read(char const*, char const*, char const*, char*, unsigned long)",
    "INIFILE::Read(char const*, char const*, unsigned char, unsigned char*)",
    "INIFILE::Read(char const*, char const*, short, short*)",
    "INIFILE::Read(char const*, char const*, unsigned short, unsigned short*)",
    "INIFILE::Read(char const*, char const*, int, int*)",
    "INIFILE::Read(char const*, char const*, unsigned int, unsigned int*)",
    "INIFILE::Read(char const*, char const*, long, long*)",
    "INIFILE::Read(char const*, char const*, unsigned long, unsigned long*)",
    "INIFILE::Read(char const*, char const*, float, float*)",
    "INIFILE::Read(char const*, char const*, double, double*)",
    "INIFILE::Read(char const*, char const*, unsigned long*)",
    "INIFILE::Read(char const*, char const*, tagRECT*)",
    "INIFILE::Read(char const*, char const*, tagLOGFONTA*)",
    "INIFILE::Write(char const*, char const*, unsigned char)",
    "INIFILE::Write(char const*, char const*, short)",
    "INIFILE::Write(char const*, char const*, unsigned short)",
    "INIFILE::Write(char const*, char const*, int)",
    "INIFILE::Write(char const*, char const*, unsigned int)",
    "INIFILE::Write(char const*, char const*, long)",
    "INIFILE::Write(char const*, char const*, unsigned long)",
    "INIFILE::Write(char const*, char const*, float)",
    "INIFILE::Write(char const*, char const*, double)",
    "INIFILE::Write(char const*, char const*, char const*, unsigned long)",
    "INIFILE::Write(char const*, char const*, char const*)",
    "INIFILE::Write(char const*, char const*, unsigned long const*)",
    "INIFILE::Write(char const*, char const*, tagRECT const*)",
    "INIFILE::Write(char const*, char const*, tagLOGFONTA const*)",

    "CFILE::CFILE()",
    "CFILE::CFILE(CFILE const&)",
    "CFILE::~CFILE()",
    "CFILE::operator=(CFILE const&)",
    "CFILE::Open(char const*)",
    "CFILE::Close()",
    "CFILE::Write(char const*)",
    "CFILE::Enable(bool)",
    "CFILE::Disable()",

    "LOGFILE::LOGFILE()",
    "LOGFILE::LOGFILE(LOGFILE const&)",
    "LOGFILE::~LOGFILE()",
    "LOGFILE::operator=(LOGFILE const&)",
    "LOGFILE::FileName(char const*)",
    "LOGFILE::FormatType(LF_TYPE)",
    "LOGFILE::CurrentTime()",
    "LOGFILE::Write(char const*)",
};

}  // namespace

TEST(ProgramExports, EveryFoundationMemberIsExported)
{
    std::string program = testenv::PathFromEnvironment("VARNOK_EXE");
    ASSERT_FALSE(program.empty()) << "VARNOK_EXE is not set";
    std::string bytes = testenv::ReadFile(program);
    ASSERT_FALSE(bytes.empty()) << program;
    std::vector<std::string> names = PeImage(bytes).ExportedNames();
    ASSERT_FALSE(names.empty()) << "no export table in " << program;

    std::set<std::string> exported;
    for (const std::string& name : names)
        exported.insert(Demangle(name));
    for (const char* expected : ExpectedExports)
        EXPECT_EQ(1u, exported.count(expected)) << "not exported: " << expected;
}
