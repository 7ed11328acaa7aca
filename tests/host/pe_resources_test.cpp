// The PE resource reader and writer: a small executable laid out by hand here (so round
// trips and damaged files are always tested), the real player program when it is built,
// and GNU objdump / windres as independent readers of what was written.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/temp_folder.h"
#include "quizpack/executable/pe_resources.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

void put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void put32(Bytes& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xffff);
    put16(b, at + 2, v >> 16);
}
uint32_t get32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

bool contains(const Bytes& haystack, const Bytes& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
           haystack.end();
}

// ---- a hand-laid executable ----
// DOS header with e_lfanew 0x40, PE32+ (or PE32) headers, sections at RVA 0x1000 * (i + 1)
// and file offset 0x200 onward, FileAlignment 0x200, SectionAlignment 0x1000.

constexpr size_t kPeAt = 0x40;
constexpr size_t kCoffAt = kPeAt + 4;
constexpr size_t kOptAt = kCoffAt + 20;

struct TestSection {
    std::string name;
    Bytes data;
    uint32_t characteristics;
};

struct TestImage {
    Bytes bytes;
    bool pe32 = false;
    size_t optSize() const { return pe32 ? 224 : 240; }
    size_t dirsAt() const { return kOptAt + (pe32 ? 96 : 112); }
    size_t tableAt() const { return kOptAt + optSize(); }
    void setDirectory(int index, uint32_t rva, uint32_t size) {
        put32(bytes, dirsAt() + 8 * index, rva);
        put32(bytes, dirsAt() + 8 * index + 4, size);
    }
    uint32_t directoryRva(int index) const { return get32(bytes, dirsAt() + 8 * index); }
    uint32_t sectionField(size_t i, size_t field) const {
        return get32(bytes, tableAt() + 40 * i + field);
    }
    uint32_t sectionRva(size_t i) const { return sectionField(i, 12); }
    uint32_t sectionRawOffset(size_t i) const { return sectionField(i, 20); }
};

TestImage buildImage(const std::vector<TestSection>& sections, bool pe32 = false) {
    TestImage img;
    img.pe32 = pe32;
    size_t raw = 0x200;
    std::vector<size_t> rawAt;
    for (const TestSection& s : sections) {
        rawAt.push_back(raw);
        raw += (s.data.size() + 0x1ff) / 0x200 * 0x200;
    }
    Bytes& b = img.bytes;
    b.assign(raw, 0);
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3c, kPeAt);
    b[kPeAt] = 'P';
    b[kPeAt + 1] = 'E';
    put16(b, kCoffAt, pe32 ? 0x14c : 0x8664);
    put16(b, kCoffAt + 2, static_cast<uint32_t>(sections.size()));
    put16(b, kCoffAt + 16, static_cast<uint32_t>(img.optSize()));
    put16(b, kCoffAt + 18, 0x22);
    put16(b, kOptAt, pe32 ? 0x10b : 0x20b);
    put32(b, kOptAt + 16, 0x1000); // entry point in the first section
    put32(b, kOptAt + 32, 0x1000);
    put32(b, kOptAt + 36, 0x200);
    put32(b, kOptAt + 56, 0x1000 * static_cast<uint32_t>(sections.size() + 1));
    put32(b, kOptAt + 60, 0x200);
    put16(b, kOptAt + 68, 3);
    put32(b, kOptAt + (pe32 ? 92 : 108), 16);
    for (size_t i = 0; i < sections.size(); ++i) {
        const size_t at = img.tableAt() + 40 * i;
        std::copy(sections[i].name.begin(), sections[i].name.end(), b.begin() + at);
        put32(b, at + 8, static_cast<uint32_t>(sections[i].data.size()));
        put32(b, at + 12, 0x1000 * static_cast<uint32_t>(i + 1));
        put32(b, at + 16, static_cast<uint32_t>((sections[i].data.size() + 0x1ff) / 0x200 * 0x200));
        put32(b, at + 20, static_cast<uint32_t>(rawAt[i]));
        put32(b, at + 36, sections[i].characteristics);
        std::copy(sections[i].data.begin(), sections[i].data.end(), b.begin() + rawAt[i]);
    }
    return img;
}

const Bytes kOldPackage = text("OLD-PACKAGE-BYTES");
const Bytes kOldCodes = text("OLD-CODES");
const Bytes kDialog = text("DIALOG-BYTES");
constexpr uint32_t kRsrcSize = 0x114;

// A resource section as windres would lay it out, offsets written out by hand:
// "PATCH" 104 and 105 (language 0) and dialog 1001 (language 0x409).
Bytes handmadeResources(uint32_t rva) {
    Bytes r(kRsrcSize, 0);
    auto dir = [&](size_t at, int named, int ids) {
        put16(r, at + 12, named);
        put16(r, at + 14, ids);
    };
    auto entry = [&](size_t at, uint32_t id, uint32_t target) {
        put32(r, at, id);
        put32(r, at + 4, target);
    };
    dir(0x00, 1, 1);
    entry(0x10, 0x800000d0, 0x80000020); // "PATCH" -> names at 0x20
    entry(0x18, 5, 0x80000040);          // RT_DIALOG -> names at 0x40
    dir(0x20, 0, 2);
    entry(0x30, IDR_QUIZ_PACKAGE, 0x80000058);
    entry(0x38, IDR_CODE_TABLE, 0x80000070);
    dir(0x40, 0, 1);
    entry(0x50, 1001, 0x80000088);
    dir(0x58, 0, 1);
    entry(0x68, 0, 0xa0);
    dir(0x70, 0, 1);
    entry(0x80, 0, 0xb0);
    dir(0x88, 0, 1);
    entry(0x98, 0x409, 0xc0);
    auto data = [&](size_t entryAt, size_t dataAt, const Bytes& bytes) {
        put32(r, entryAt, rva + static_cast<uint32_t>(dataAt));
        put32(r, entryAt + 4, static_cast<uint32_t>(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), r.begin() + dataAt);
    };
    data(0xa0, 0xe0, kOldPackage);
    data(0xb0, 0xf8, kOldCodes);
    data(0xc0, 0x108, kDialog);
    put16(r, 0xd0, 5);
    for (int i = 0; i < 5; ++i) {
        put16(r, 0xd2 + 2 * i, "PATCH"[i]);
    }
    return r;
}

// .text at 0x1000 (an 8-byte pointer at 0x1010 that the relocation patches), .rsrc at
// 0x2000, .reloc at 0x3000: the order the GNU linker uses.
Bytes relocBlock() {
    Bytes r(12, 0);
    put32(r, 0, 0x1000);
    put32(r, 4, 12);
    put16(r, 8, 0xa010); // IMAGE_REL_BASED_DIR64 at 0x1010
    return r;
}

constexpr uint32_t kCode = 0x60000020;
constexpr uint32_t kData = 0x40000040;

TestImage standardImage(bool pe32 = false) {
    Bytes code(64, 0x90);
    TestImage img = buildImage({{".text", code, kCode},
                                {".rsrc", handmadeResources(0x2000), kData},
                                {".reloc", relocBlock(), 0x42000040}},
                               pe32);
    img.setDirectory(2, 0x2000, kRsrcSize);
    img.setDirectory(5, 0x3000, 12);
    return img;
}

Resource make(ResourceId type, ResourceId name, const Bytes& data, uint16_t language = 0) {
    Resource r;
    r.type = std::move(type);
    r.name = std::move(name);
    r.language = language;
    r.data = data;
    return r;
}

ResourceId num(uint32_t n) {
    return ResourceId::fromNumber(n);
}
ResourceId named(const char* s) {
    return ResourceId::fromName(s);
}

std::string listing(const std::vector<Resource>& resources) {
    std::string out;
    for (const Resource& r : resources) {
        out += r.type.toString() + "/" + r.name.toString() + "/" + std::to_string(r.language) +
               "=" + std::string(r.data.begin(), r.data.end()) + " ";
    }
    return out;
}

bool isPatchOrImg(const Resource& r) {
    return r.type == named("PATCH") || r.type == named("IMG");
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const PeError& e) {
        return e.what();
    }
    return "(no error)";
}

// ---- reading ----

TEST(PeResourcesRead, HandmadeTreeInDirectoryOrder) {
    for (bool pe32 : {false, true}) {
        EXPECT_EQ(listing(readResources(standardImage(pe32).bytes)),
                  "PATCH/104/0=OLD-PACKAGE-BYTES PATCH/105/0=OLD-CODES 5/1001/1033=DIALOG-BYTES ")
            << (pe32 ? "PE32" : "PE32+");
    }
}

TEST(PeResourcesRead, EveryTruncationFailsCleanlyUntilTheResourcesAreWhole) {
    const TestImage img = standardImage();
    const std::string whole = listing(readResources(img.bytes));
    const size_t resourcesEnd = img.sectionRawOffset(1) + kRsrcSize;
    for (size_t length = 0; length < img.bytes.size(); ++length) {
        const Bytes cut(img.bytes.begin(), img.bytes.begin() + length);
        if (length >= resourcesEnd) {
            EXPECT_EQ(listing(readResources(cut)), whole) << "length " << length;
        } else {
            EXPECT_THROW(readResources(cut), PeError) << "length " << length;
        }
        EXPECT_THROW(replaceResources(cut, nullptr, {}), PeError) << "length " << length;
    }
}

struct Damage {
    const char* what;
    size_t at; // offset in the resource section, or in the file when inFile
    uint32_t value;
    int width;
    const char* expected; // part of the message
    bool inFile = false;
};

TEST(PeResourcesRead, DamagedFilesNameTheProblem) {
    const Damage rows[] = {
        {"type directory past the section", 0x14, 0x80001000, 4, "outside the resource section"},
        {"name table loops to the root", 0x34, 0x80000000, 4, "reached twice"},
        {"dialog names share PATCH's table", 0x1c, 0x80000020, 4, "reached twice"},
        {"type entry points to data", 0x14, 0x20, 4, "instead of a directory"},
        {"language entry is a directory", 0x6c, 0x800000a0, 4, "below its language level"},
        {"language is a name", 0x68, 0x800000d0, 4, "not a 16-bit number"},
        {"name string past the section", 0x10, 0x80000ff0, 4, "outside the resource section"},
        {"empty name", 0xd0, 0, 2, "empty type name"},
        {"name longer than the section", 0xd0, 0xffff, 2, "outside the resource section"},
        {"entry count beyond the section", 0x2e, 0xffff, 2, "entries of a resource directory"},
        {"data RVA in no section", 0xa0, 0x9000, 4, "lies in no section"},
        {"data size past its section", 0xa4, 0x200, 4, "runs past the data"},
        {"data in the headers", 0xa0, 0x10, 4, "lies in no section"},
        {"no MZ", 0, 0x5a4e, 2, "does not start with \"MZ\"", true},
        {"e_lfanew past the end", 0x3c, 0x7ffffff0, 4, "past the end of the file", true},
        {"no PE signature", kPeAt, 0x12345678, 4, "no \"PE\" signature", true},
        {"unknown magic", kOptAt, 0x107, 2, "neither PE32 nor PE32+", true},
        {"optional header too small", kCoffAt + 16, 120, 2, "data directories", true},
        {"section table past the end", kCoffAt + 2, 0xffff, 2, "section table", true},
        {"resource directory in no section", 0xc8 + 16, 0x9000, 4, "in no section", true},
    };
    for (const Damage& row : rows) {
        TestImage img = standardImage();
        const size_t at = row.inFile ? row.at : img.sectionRawOffset(1) + row.at;
        if (row.width == 2) {
            put16(img.bytes, at, row.value);
        } else {
            put32(img.bytes, at, row.value);
        }
        const std::string message = errorOf([&] { readResources(img.bytes); });
        EXPECT_NE(message.find(row.expected), std::string::npos)
            << row.what << ": got \"" << message << "\"";
        const std::string rewrite = errorOf([&] { replaceResources(img.bytes, nullptr, {}); });
        EXPECT_NE(rewrite, "(no error)") << row.what << " was rewritten";
    }
}

// Shared subtrees multiply: 40 types x 40 names x 40 languages all sharing one table would
// list 64000 resources from a few hundred bytes if the reader followed them.
TEST(PeResourcesRead, SharedSubtreesAreRefused) {
    Bytes r(0x1000, 0);
    put16(r, 14, 40);
    for (int i = 0; i < 40; ++i) {
        put32(r, 16 + 8 * i, i + 1);
        put32(r, 16 + 8 * i + 4, 0x80000200);
    }
    put16(r, 0x200 + 14, 40);
    for (int i = 0; i < 40; ++i) {
        put32(r, 0x210 + 8 * i, i + 1);
        put32(r, 0x210 + 8 * i + 4, 0x80000400);
    }
    TestImage img = buildImage({{".text", Bytes(16, 0xc3), kCode}, {".rsrc", r, kData}});
    img.setDirectory(2, 0x2000, 0x1000);
    EXPECT_NE(errorOf([&] { readResources(img.bytes); }).find("reached twice"), std::string::npos);
}

TEST(PeResourcesRead, NoResourceDirectoryIsAnEmptyList) {
    TestImage img = buildImage({{".text", Bytes(16, 0xc3), kCode}});
    EXPECT_TRUE(readResources(img.bytes).empty());
}

// ---- writing ----

// The resources that a rewrite must give back, and where the moved .reloc went.
TEST(PeResourcesWrite, ReplacesPackageKeepsTheRestAndMovesRelocations) {
    struct Row {
        const char* what;
        size_t pictureSize; // grows .rsrc past its page when large
        uint32_t relocRva;  // where .reloc must land
    };
    const Row rows[] = {{"same page", 100, 0x3000}, {"three pages more", 3 * 4096 + 5, 0x6000}};
    for (const Row& row : rows) {
        const TestImage img = standardImage();
        Bytes picture(row.pictureSize);
        for (size_t i = 0; i < picture.size(); ++i) {
            picture[i] = static_cast<uint8_t>(i * 7 + 1);
        }
        const Bytes out =
            replaceResources(img.bytes, isPatchOrImg,
                             {make(named("patch"), num(IDR_CODE_TABLE), text("new-codes")),
                              make(named("PATCH"), num(IDR_QUIZ_PACKAGE), text("new-package")),
                              make(named("img"), num(questionMediaId(1)), picture),
                              make(named("Img"), named("cover"), text("c"))});
        const std::vector<Resource> back = readResources(out);
        ASSERT_EQ(back.size(), 5u) << row.what;
        EXPECT_EQ(listing({back[0], back[2], back[3], back[4]}),
                  "IMG/COVER/0=c PATCH/104/0=new-package PATCH/105/0=new-codes "
                  "5/1001/1033=DIALOG-BYTES ")
            << row.what;
        EXPECT_EQ(back[1].type.toString() + "/" + back[1].name.toString(), "IMG/401") << row.what;
        EXPECT_TRUE(back[1].data == picture) << row.what;
        EXPECT_FALSE(contains(out, kOldPackage)) << row.what;
        EXPECT_FALSE(contains(out, kOldCodes)) << row.what;

        TestImage written{out};
        EXPECT_EQ(written.directoryRva(5), row.relocRva) << row.what;
        EXPECT_EQ(written.sectionRva(2), row.relocRva) << row.what;
        const Bytes relocs(out.begin() + written.sectionRawOffset(2),
                           out.begin() + written.sectionRawOffset(2) + 12);
        EXPECT_EQ(relocs, relocBlock()) << row.what;
        EXPECT_EQ(get32(out, kOptAt + 56), row.relocRva + 0x1000) << row.what << ": SizeOfImage";
        EXPECT_TRUE(
            std::equal(img.bytes.begin() + 0x200, img.bytes.begin() + 0x400, out.begin() + 0x200))
            << row.what << ": .text changed";
        EXPECT_EQ(get32(out, kOptAt + 64), computePeChecksum(out)) << row.what;
        EXPECT_EQ(out.size() % 0x200, 0u) << row.what;
    }
}

TEST(PeResourcesWrite, RewritingTwiceGivesTheSameBytes) {
    const std::vector<Resource> add = {make(named("PATCH"), num(IDR_QUIZ_PACKAGE), text("p")),
                                       make(named("IMG"), num(revealPictureId(1)), text("r"))};
    const Bytes once = replaceResources(standardImage().bytes, isPatchOrImg, add);
    EXPECT_EQ(replaceResources(once, isPatchOrImg, add), once);
}

TEST(PeResourcesWrite, AddsAResourceSectionWhereThereWasNone) {
    struct Row {
        const char* what;
        bool withRelocs;
        size_t resourceIndex;
    };
    for (const Row& row : {Row{"before .reloc", true, 1}, Row{"at the end", false, 1}}) {
        std::vector<TestSection> sections = {{".text", Bytes(64, 0x90), kCode}};
        if (row.withRelocs) {
            sections.push_back({".reloc", relocBlock(), 0x42000040});
        }
        TestImage img = buildImage(sections);
        if (row.withRelocs) {
            img.setDirectory(5, 0x2000, 12);
        }
        const Bytes out = replaceResources(
            img.bytes, nullptr, {make(named("PATCH"), num(IDR_QUIZ_PACKAGE), text("package"))});
        EXPECT_EQ(listing(readResources(out)), "PATCH/104/0=package ") << row.what;
        TestImage written{out};
        EXPECT_EQ(written.directoryRva(2), written.sectionRva(row.resourceIndex)) << row.what;
        EXPECT_EQ(get32(out, kCoffAt) >> 16, sections.size() + 1) << row.what;
        if (row.withRelocs) {
            EXPECT_EQ(written.directoryRva(5), 0x3000u) << row.what;
        }
    }
}

TEST(PeResourcesWrite, RefusesWhatItCannotRewriteSafely) {
    struct Row {
        const char* what;
        std::function<void(TestImage&)> damage;
        std::vector<Resource> add;
        const char* expected;
    };
    const std::vector<Resource> none;
    const Row rows[] = {
        {"symbol table", [](TestImage& i) { put32(i.bytes, kCoffAt + 8, 0x600); }, none,
         "strip it"},
        {"signed", [](TestImage& i) { i.setDirectory(4, 0x600, 8); }, none, "signed"},
        {"appended data", [](TestImage& i) { i.bytes.push_back(1); }, none, "appended"},
        {"relocation into .rsrc", [](TestImage& i) { put32(i.bytes, 0x600, 0x2000); }, none,
         "patches RVA"},
        {"TLS directory in .reloc", [](TestImage& i) { i.setDirectory(9, 0x3000, 8); }, none,
         "TLS directory"},
        {"entry point in .reloc", [](TestImage& i) { put32(i.bytes, kOptAt + 16, 0x3004); }, none,
         "entry point"},
        {"code after .rsrc", [](TestImage& i) { i.setDirectory(5, 0, 0); }, none, "cannot move"},
        {"section reaching past 2 GiB", [](TestImage& i) { put32(i.bytes, i.tableAt() + 88, ~0u); },
         none, "past the 2 GiB"},
        {"duplicate",
         [](TestImage&) {},
         {make(named("PATCH"), num(IDR_QUIZ_PACKAGE), text("a")),
          make(named("patch"), num(IDR_QUIZ_PACKAGE), text("b"))},
         "two resources PATCH 104"},
        {"kept duplicate",
         [](TestImage&) {},
         {make(named("PATCH"), num(IDR_QUIZ_PACKAGE), text("a"))},
         "two resources PATCH 104"},
        {"name with '_'",
         [](TestImage&) {},
         {make(named("MY_DATA"), num(1), text("a"))},
         "letters, digits"},
        {"name with '#'",
         [](TestImage&) {},
         {make(named("IMG"), named("#401"), text("a"))},
         "letters, digits"},
        {"number 0",
         [](TestImage&) {},
         {make(named("IMG"), num(0), text("a"))},
         "between 1 and 65535"},
    };
    for (const Row& row : rows) {
        TestImage img = standardImage();
        row.damage(img);
        const bool dropNothing = std::string(row.what) == "kept duplicate";
        const std::string message = errorOf([&] {
            replaceResources(img.bytes, dropNothing ? ResourceFilter() : isPatchOrImg, row.add);
        });
        EXPECT_NE(message.find(row.expected), std::string::npos)
            << row.what << ": got \"" << message << "\"";
    }
}

TEST(PeResourcesWrite, NamesSortAsWindowsSearchesThem) {
    const Bytes out =
        replaceResources(standardImage().bytes, isPatchOrImg,
                         {make(num(300), num(2), text("")), make(named("img"), num(7), text("")),
                          make(named("IMGA"), num(1), text("")), make(named("A"), num(1), text("")),
                          make(num(300), named("Z"), text("")), make(num(300), num(1), text(""))});
    std::string order;
    for (const Resource& r : readResources(out)) {
        order += r.type.toString() + "/" + r.name.toString() + " ";
    }
    EXPECT_EQ(order, "A/1 IMG/7 IMGA/1 5/1001 300/Z 300/1 300/2 ");
}

// ---- independent readers and the real player ----

// What `command` writes, its errors after its output.
std::string run(const std::vector<std::string>& command) {
    test_support::ProgramRun run = test_support::runProgram(command);
    return run.out + run.err;
}

bool haveTool(const char* tool) {
    return test_support::runProgram({tool, "--version"}).exitCode == 0;
}

// Files the independent readers read, in one folder for the whole program.
std::string writeTemp(const std::string& name, const Bytes& bytes) {
    static test_support::TempFolder folder("pe");
    test_support::writeBytes(folder / name, bytes);
    return folder.file(name);
}

TEST(PeResourcesWrite, ObjdumpReadsTheWrittenTree) {
    if (!haveTool("x86_64-w64-mingw32-objdump")) {
        GTEST_SKIP() << "x86_64-w64-mingw32-objdump is not on PATH";
    }
    const Bytes out =
        replaceResources(standardImage().bytes, isPatchOrImg,
                         {make(named("PATCH"), num(IDR_QUIZ_PACKAGE), text("package")),
                          make(named("IMG"), num(questionMediaId(1)), Bytes(9000, 0x55))});
    const std::string dump =
        run({"x86_64-w64-mingw32-objdump", "-p", writeTemp("pe_objdump.exe", out)});
    for (const char* expected :
         {"Resource Directory [.rsrc]", ": IMG,", ": PATCH,", "ID: 0x000191", "ID: 0x000068",
          "ID: 0x0003e9", "Size: 0x002328", "Base Relocation Directory [.reloc]"}) {
        EXPECT_NE(dump.find(expected), std::string::npos) << expected << " in\n" << dump;
    }
    EXPECT_EQ(dump.find("orrupt"), std::string::npos) << dump;
}

class PlayerTemplate : public testing::Test {
  protected:
    void SetUp() override {
        player_ = test_support::readBytes(test_support::playerPath());
        if (player_.empty()) {
            GTEST_SKIP() << "no player program at " << test_support::playerPath()
                         << " (build the win64 preset or set QUIZZ_PLAYER_EXE)";
        }
    }
    Bytes player_;
};

TEST_F(PlayerTemplate, ChecksumMatchesTheLinkers) {
    const uint32_t stored = get32(player_, get32(player_, 0x3c) + 24 + 64);
    if (stored == 0) {
        GTEST_SKIP() << "the linker left the checksum 0";
    }
    EXPECT_EQ(computePeChecksum(player_), stored);
}

TEST_F(PlayerTemplate, NewQuizKeepsEveryOtherResourceAndNoneOfTheOldQuiz) {
    const std::vector<Resource> before = readResources(player_);
    ASSERT_TRUE(std::any_of(before.begin(), before.end(), [](const Resource& r) {
        return r.type == num(kRtDialog) && r.name == num(1001);
    })) << "the player has no dialog 1001";
    std::vector<Bytes> oldQuiz;
    std::vector<Resource> others;
    for (const Resource& r : before) {
        (isPatchOrImg(r) ? oldQuiz.push_back(r.data) : others.push_back(r));
    }
    ASSERT_FALSE(oldQuiz.empty()) << "the player carries no PATCH resources";

    const std::vector<Resource> add = {
        make(named("PATCH"), num(IDR_QUIZ_PACKAGE), text("new package")),
        make(named("PATCH"), num(IDR_CODE_TABLE), text("new codes")),
        make(named("IMG"), num(questionMediaId(1)), Bytes(70000, 0xab)),
        make(named("IMG"), num(revealPictureId(1)), Bytes(3, 0xcd))};
    const Bytes out = replaceResources(player_, isPatchOrImg, add);
    std::vector<Resource> after = readResources(out);
    std::vector<Resource> keptAfter, addedAfter;
    for (Resource& r : after) {
        (isPatchOrImg(r) ? addedAfter : keptAfter).push_back(std::move(r));
    }
    ASSERT_EQ(addedAfter.size(), add.size());
    ASSERT_EQ(keptAfter.size(), others.size());
    for (size_t i = 0; i < others.size(); ++i) {
        const Resource& r = others[i];
        const auto found = std::find_if(keptAfter.begin(), keptAfter.end(), [&](const Resource& k) {
            return k.type == r.type && k.name == r.name && k.language == r.language;
        });
        ASSERT_NE(found, keptAfter.end()) << r.type.toString() << " " << r.name.toString();
        EXPECT_EQ(found->data, r.data) << r.type.toString() << " " << r.name.toString();
    }
    EXPECT_EQ(listing({addedAfter[2], addedAfter[3]}),
              "PATCH/104/0=new package PATCH/105/0=new codes ");
    for (const Bytes& old : oldQuiz) {
        if (old.size() >= 16) {
            EXPECT_FALSE(contains(out, old))
                << "an old quiz resource of " << old.size() << " bytes remains";
        }
    }
    EXPECT_EQ(get32(out, get32(out, 0x3c) + 24 + 64), computePeChecksum(out));

    if (haveTool("x86_64-w64-mingw32-objdump")) {
        const std::string path = writeTemp("pe_player.exe", out);
        const std::string dump = run({"x86_64-w64-mingw32-objdump", "-p", path});
        EXPECT_NE(dump.find(": IMG,"), std::string::npos) << dump;
        EXPECT_NE(dump.find("Size: 0x011170"), std::string::npos) << "IMG 401 of 70000 bytes";
        EXPECT_EQ(dump.find("orrupt"), std::string::npos) << dump;
    }
    if (haveTool("x86_64-w64-mingw32-windres")) {
        const std::string path = writeTemp("pe_player_rc.exe", out);
        test_support::ProgramRun windres =
            test_support::runProgram({"x86_64-w64-mingw32-windres", "-i", path, "-O", "rc"});
        const std::string rc = windres.out + windres.err;
        EXPECT_NE(rc.find("104 \"PATCH\""), std::string::npos) << rc.substr(0, 2000);
        EXPECT_NE(rc.find("10401 \"IMG\""), std::string::npos) << rc.substr(0, 2000);
        EXPECT_NE(rc.find("1001 DIALOG"), std::string::npos) << rc.substr(0, 2000);
        EXPECT_EQ(windres.exitCode, 0) << rc.substr(0, 2000);
    }
}

} // namespace
