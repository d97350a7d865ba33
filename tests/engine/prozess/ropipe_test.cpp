#include <csignal>
#include <fcntl.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/Streams.h"
#include "engine/prozess/RoPipe.h"
#include "engine/prozess/RoPipeFilters.h"

namespace lorvane {
namespace {

void Write(TRoPipe& pipe, const std::string& text) {
    ASSERT_EQ(pipe.WriteData(text.data(), text.size()), text.size());
}

std::string AsText(const TBuffer& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string ErrorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const EInOutError& error) {
        return error.what();
    }
    return "no EInOutError";
}

TEST(RoPipe, ReadsOnlyWhatIsAvailable) {
    TRoPipe pipe;
    EXPECT_EQ(pipe.AvailableDataSize(), 0U);
    EXPECT_TRUE(pipe.ReadBytes().empty()); // does not block on an empty pipe
    char buf[16];
    std::size_t got = 99;
    EXPECT_FALSE(pipe.ReadData(buf, sizeof buf, got));
    EXPECT_EQ(got, 0U);

    Write(pipe, "0123456789");
    EXPECT_EQ(pipe.AvailableDataSize(), 10U);
    EXPECT_TRUE(pipe.ReadData(buf, 4, got));
    EXPECT_EQ(std::string(buf, got), "0123");
    EXPECT_EQ(AsText(pipe.ReadBytes(3)), "456");
    EXPECT_EQ(AsText(pipe.ReadBytes(100)), "789"); // fewer available than asked: all of them
    EXPECT_TRUE(pipe.ReadBytes(0).empty());
}

TEST(RoPipe, BothEndsAreCloseOnExec) {
    TRoPipe pipe(true);
    EXPECT_TRUE(pipe.Inheritable());
    EXPECT_NE(fcntl(pipe.ReadHandle(), F_GETFD) & FD_CLOEXEC, 0);
    EXPECT_NE(fcntl(pipe.WriteHandle(), F_GETFD) & FD_CLOEXEC, 0);
    const TRoSecurityAttributes attributes{false};
    TRoPipe small(1, &attributes);
    EXPECT_FALSE(small.Inheritable());
    // A size of 1 is a hint; the pipe still holds more than one byte.
    Write(small, "qq");
    EXPECT_EQ(small.AvailableDataSize(), 2U);
}

TEST(RoPipe, CopiesToAndFromStreamsInBlocks) {
    TRoPipe pipe;
    std::vector<std::uint8_t> bytes(10000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    }
    TMemoryStream source(bytes);
    source.Seek(100);
    pipe.CopyFromStream(source, 0); // the rest of the stream
    EXPECT_EQ(pipe.AvailableDataSize(), 9900U);

    TMemoryStream first;
    pipe.CopyToStream(first, 5);
    EXPECT_EQ(first.Bytes(), TBuffer(bytes.begin() + 100, bytes.begin() + 105));
    TMemoryStream rest;
    pipe.CopyToStream(rest, 0);
    EXPECT_EQ(rest.Bytes(), TBuffer(bytes.begin() + 105, bytes.end()));

    source.Seek(0);
    pipe.CopyFromStream(source, 3);
    EXPECT_EQ(pipe.ReadBytes(), TBuffer(bytes.begin(), bytes.begin() + 3));
    pipe.WriteBytes(TBuffer{1, 2});
    EXPECT_EQ(pipe.ReadBytes(), (TBuffer{1, 2}));
}

TEST(RoPipe, ClosedEndsFailWithTheirTexts) {
    TRoPipe pipe;
    Write(pipe, "left");
    pipe.CloseWriteHandle();
    EXPECT_EQ(ErrorText([&] { pipe.WriteData("x", 1); }), "Can't write pipe: handle closed");
    EXPECT_EQ(AsText(pipe.ReadBytes()), "left"); // what was written stays readable
    EXPECT_EQ(pipe.AvailableDataSize(), 0U);
    pipe.CloseReadHandle();
    EXPECT_EQ(ErrorText([&] { (void)pipe.AvailableDataSize(); }),
              "Can't read pipe: peek attempt failed");
}

TEST(RoPipe, WriteWithoutReaderFailsWithoutSigPipe) {
    // SIGPIPE keeps its default action here, which would end the test program.
    ASSERT_EQ(std::signal(SIGPIPE, SIG_DFL), SIG_DFL);
    TRoPipe pipe;
    pipe.CloseReadHandle();
    EXPECT_EQ(ErrorText([&] { pipe.WriteData("q", 1); }), "Error writing pipe");
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
}

// Collects what a line filter delivers.
struct TLineLog {
    std::vector<std::string> Lines;
    std::vector<std::string> Texts;
    void Attach(TRoAnsiSBCSPipeFilter& filter) {
        filter.SetOnLineEnd(
            [this](TRoAnsiSBCSPipeFilter&, const std::string& line) { Lines.push_back(line); });
        filter.SetOnText(
            [this](TRoAnsiSBCSPipeFilter&, const std::string& text) { Texts.push_back(text); });
    }
};

class LineFilter : public ::testing::Test {
protected:
    void Feed(const std::string& text) {
        Write(fPipe, text);
        fFilter.ReadPipe();
    }
    TLineLog fLog;
    TRoPipe fPipe;
    TRoAnsiSBCSPipeFilter fFilter{&fPipe, false};
    void SetUp() override { fLog.Attach(fFilter); }
};

TEST_F(LineFilter, SplitsAtLineFeedAndDropsTheCarriageReturnBeforeIt) {
    EXPECT_EQ(fFilter.EOLMarker(), "\n");
    Feed("abc\r\ndef");
    EXPECT_EQ(fLog.Lines, (std::vector<std::string>{"abc"}));
    fFilter.Flush();
    EXPECT_EQ(fLog.Lines, (std::vector<std::string>{"abc", "def"}));
    EXPECT_EQ(fLog.Texts, (std::vector<std::string>{"abc\r\ndef"})); // text as read
}

TEST_F(LineFilter, BareCarriageReturnsStayInsideTheLine) {
    Feed("size= 1 time=00:00:01\rsize= 2 time=00:00:02\r");
    fFilter.Flush();
    Feed("a\rb\nc\r\r\n\n");
    EXPECT_EQ(fLog.Lines,
              (std::vector<std::string>{"size= 1 time=00:00:01\rsize= 2 time=00:00:02\r", "a\rb",
                                        "c\r", ""}));
}

TEST_F(LineFilter, LineSplitAcrossReadsComesWhole) {
    Feed("ab");
    Feed("c\r");
    EXPECT_TRUE(fLog.Lines.empty());
    Feed("\nd\n");
    EXPECT_EQ(fLog.Lines, (std::vector<std::string>{"abc", "d"}));
    EXPECT_FALSE(fFilter.HaveUnprocessedData()); // nothing is held back as bytes
}

TEST_F(LineFilter, FlushBetweenTheHalvesGivesTwoLines) {
    Feed("ab\r");
    fFilter.Flush();
    Feed("\ncd");
    fFilter.Flush();
    fFilter.Flush(); // nothing left: no further line
    EXPECT_EQ(fLog.Lines, (std::vector<std::string>{"ab\r", "", "cd"}));
}

TEST_F(LineFilter, CrLfMarkerAsOnWindows) {
    fFilter.SetEOLMarker("\r\n");
    Feed("one\r");
    Feed("\ntwo\nthree\r\r\n");
    fFilter.Flush();
    EXPECT_EQ(fLog.Lines, (std::vector<std::string>{"one", "two\nthree\r"}));
    EXPECT_THROW(fFilter.SetEOLMarker(""), std::invalid_argument);
}

TEST_F(LineFilter, ManyLinesInOneRead) {
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += std::to_string(i) + "\r\n";
    }
    Feed(text);
    ASSERT_EQ(fLog.Lines.size(), 5000U);
    EXPECT_EQ(fLog.Lines.front(), "0");
    EXPECT_EQ(fLog.Lines.back(), "4999");
}

TEST(LineFilterLifetime, DestructionFlushesAndFreesAnOwnedPipe) {
    TLineLog log;
    auto* pipe = new TRoPipe; // owned by the filter; the leak checker sees if it is not freed
    {
        TRoAnsiSBCSPipeFilter filter(pipe, true);
        log.Attach(filter);
        Write(*pipe, "done\nrest");
        filter.ReadPipe();
    }
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"done", "rest"}));
}

TEST(LineFilterLifetime, APipeIsRequired) {
#ifndef NDEBUG
    EXPECT_DEATH(TRoAnsiSBCSPipeFilter(nullptr, false), "needs a pipe");
#else
    EXPECT_THROW(TRoAnsiSBCSPipeFilter(nullptr, false), std::invalid_argument);
#endif
}

// A filter that holds back the bytes of an incomplete UTF-8 character, to exercise
// the base class's holding back.
class TUtf8BlockFilter : public TRoPipeFilter {
public:
    using TRoPipeFilter::TRoPipeFilter;
    ~TUtf8BlockFilter() override { Flush(); }
    std::vector<std::string> Blocks;

protected:
    int BytesToHoldBack(const TBuffer& block) const override {
        for (int back = 1; back <= 3 && back <= static_cast<int>(block.size()); ++back) {
            const std::uint8_t byte = block[block.size() - static_cast<std::size_t>(back)];
            if ((byte & 0xC0) != 0x80) {
                const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
                return length > back ? back : 0;
            }
        }
        return 0;
    }
    void ProcessBytes(const TBuffer& block) override { Blocks.push_back(AsText(block)); }
};

TEST(PipeFilterBase, HeldBackBytesJoinTheNextRead) {
    TRoPipe pipe;
    TUtf8BlockFilter filter(&pipe, false);
    Write(pipe, "a\xE2\x82");
    filter.ReadPipe();
    EXPECT_TRUE(filter.HaveUnprocessedData());
    EXPECT_EQ(filter.Blocks, (std::vector<std::string>{"a"}));
    filter.ReadPipe(); // nothing new: nothing happens
    EXPECT_EQ(filter.Blocks.size(), 1U);
    Write(pipe, "\xAC"
                "b\xC3");
    filter.ReadPipe();
    EXPECT_EQ(filter.Blocks, (std::vector<std::string>{"a", "\xE2\x82\xAC"
                                                            "b"}));
    Write(pipe, "\xA4");
    filter.ReadPipe();
    Write(pipe, "\xF0\x9F");
    filter.ReadPipe(); // a block made only of held-back bytes is not processed yet
    EXPECT_EQ(filter.Blocks.back(), "\xC3\xA4");
    filter.Flush();
    EXPECT_EQ(filter.Blocks.back(), "\xF0\x9F");
    EXPECT_FALSE(filter.HaveUnprocessedData());
}

} // namespace
} // namespace lorvane
