// The tag of a joined part as an independent reader sees it: python3-mutagen parses the
// written file. Skips when mutagen is not installed.

#include "id3v2/ID3v2Tags.h"
#include "id3v2/ScratchFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace lorvane {
namespace {

constexpr const char* kMutagenScript =
    "import sys, mutagen.id3\n"
    "t = mutagen.id3.ID3(sys.argv[1])\n"
    "out = ['%d.%d' % t.version[:2], str(t.size)]\n"
    "for key in ('TPE1', 'TIT2', 'TALB', 'TCON', 'TRCK'):\n"
    "    out.append('/'.join(t[key].text) if key in t else '-')\n"
    "out.append(str(len(t.keys())))\n"
    "sys.stdout.buffer.write('\\n'.join(out).encode('utf-8'))\n";

bool MutagenAvailable() {
    return test::RunCommand("/usr/bin/python3 -c 'import mutagen.id3'") == 0;
}

std::string MutagenView(const std::filesystem::path& file) {
    std::string out;
    std::string err;
    const int status = test::RunCommand("/usr/bin/python3 -c " + test::ShellQuote(kMutagenScript) +
                                            " " + test::ShellQuote(file.string()),
                                        &out, &err);
    EXPECT_EQ(status, 0) << err;
    return out;
}

TEST(MutagenCheck, JoinedPartsReadBackWithAnotherTool) {
    if (!MutagenAvailable()) {
        GTEST_SKIP() << "python3-mutagen is not installed";
    }
    test::TempDir dir;
    SetTagScratchFolder(dir / "scratch");
    TID3v2Tag tag;
    tag.Clear();
    tag.SetArtist("Stanis\xC5\x82"
                  "aw Lem");
    tag.SetTitle("Solaris");
    tag.SetAlbum("Solaris \xE2\x80\x93 H\xC3\xB6rspiel");
    tag.SetGenre("H\xC3\xB6rbuch");
    tag.SetTrack("1");
    for (int part = 1; part <= 2; ++part) {
        const std::string number = std::to_string(part);
        tag.SetTitle("Solaris (00" + number + ")");
        tag.SetTrack(number);
        const auto file = dir / ("part" + number + ".mp3");
        test::WriteFileBytes(file, std::vector<std::uint8_t>(30000 + 1000 * part, 0x55));
        {
            TFileStream stream(file, TFileMode::OpenReadWrite);
            ASSERT_EQ(tag.WriteToStream(stream), FileErr_None);
        }
        EXPECT_EQ(MutagenView(file),
                  "2.3\n" + std::to_string(tag.Size()) +
                      "\nStanis\xC5\x82"
                      "aw Lem\nSolaris (00" +
                      number + ")\nSolaris \xE2\x80\x93 H\xC3\xB6rspiel\nH\xC3\xB6rbuch\n" +
                      number + "\n5");
    }
    SetTagScratchFolder({});
}

} // namespace
} // namespace lorvane
