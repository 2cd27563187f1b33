#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/loopback_server.h"
#include "net/tcp_client.h"
#include "net/test_pump.h"
#include "support/temp_dir.h"

namespace corvalo::net {
namespace {

using corvalo::testing::errorText;
using corvalo::testing::holdOpen;
using corvalo::testing::LoopbackServer;
using corvalo::testing::ServerConnection;

class TcpTransferTest : public ::testing::Test {
  protected:
    TcpTransferTest() { sock.timeoutMs = corvalo::testing::kHungMs; }
    void connectTo(const LoopbackServer& server) {
        sock.host = "127.0.0.1";
        sock.port = server.port();
        sock.connect();
    }

    corvalo::testing::TestPump pump;
    SteadyClock clock;
    TcpClient sock{pump, clock, corvalo::testing::hostsFileOnly()};
};

TEST_F(TcpTransferTest, ReadLineKeepsLineEndsAndTheStartOfAnOverlongLine) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.send(std::string(200000, 'x') + "\r\n");
        c.send("one\r\ntwo\nthree");  // the last line has no end: the peer closes
    });
    connectTo(server);
    EXPECT_EQ(sock.readLine(), std::string(TcpClient::kBufferSize, 'x'));
    EXPECT_EQ(sock.readLine(), "one\r\n");
    EXPECT_EQ(sock.readLine(), "two\n");
    EXPECT_TRUE(sock.dataAvailable());
    EXPECT_EQ(sock.readLine(), "");
    EXPECT_FALSE(sock.dataAvailable());
}

TEST(TcpClientWaits, EndWithAbortByTimeOutOrCancel) {
    const struct {
        const char* name;
        bool capture;
        bool cancel;
        const char* error;
    } rows[] = {
        {"readLine time-out", false, false, "Socket readln aborted"},
        {"readLine cancel", false, true, "Socket readln aborted"},
        {"capture time-out", true, false, "Socket capture aborted"},
        {"capture cancel", true, true, "Socket capture aborted"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(holdOpen);  // accepts and never answers
        corvalo::testing::TestPump pump;
        SteadyClock clock;
        TcpClient s(pump, clock, corvalo::testing::hostsFileOnly());
        s.host = "127.0.0.1";
        s.port = server.port();
        s.connect();
        s.timeoutMs = row.cancel ? corvalo::testing::kHungMs : 150;
        pump.onPass = [&] {
            if (row.cancel && pump.passes == 5) s.cancel();
        };
        std::string text;
        EXPECT_EQ(errorText<TransferAborted>([&] {
                      if (row.capture) s.captureString(text, -1);
                      if (!row.capture) text = s.readLine();
                  }),
                  row.error);
        EXPECT_EQ(s.timedOut(), !row.cancel);
        EXPECT_FALSE(s.canceled());  // each abort clears it for the next wait
    }
}

TEST_F(TcpTransferTest, NegativeTimeOutIsARangeErrorWhenAWaitStarts) {
    LoopbackServer server(holdOpen);
    connectTo(server);
    sock.timeoutMs = -1;
    EXPECT_EQ(errorText([&] { sock.readLine(); }), "Range check error");
}

TEST_F(TcpTransferTest, CaptureTakesEachPieceUntilThePeerClosesAndThenClosesOurs) {
    const std::string body = "1.01 version text\r\n";
    std::atomic<std::int64_t> taken{0};
    LoopbackServer server([&](ServerConnection& c, int) { c.sendEachByteOnceTaken(body, taken); });
    connectTo(server);
    pump.onPass = [&] { taken = sock.bytesReceived(); };
    int pieces = 0, disconnects = 0;
    sock.onPacketReceived = [&](TcpClient&) { ++pieces; };
    sock.onDisconnect = [&](TcpClient&) { ++disconnects; };
    std::string text;
    sock.captureString(text, -1);
    EXPECT_EQ(text, body);
    EXPECT_EQ(sock.bytesReceived(), 19);
    EXPECT_EQ(pieces, 19);
    EXPECT_FALSE(sock.connected());
    EXPECT_EQ(disconnects, 1);
}

TEST_F(TcpTransferTest, CaptureStopsAtTheLargestLengthWanted) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.send(std::string(100000, 'b'));
        c.waitForClose();
    });
    connectTo(server);
    std::string text;
    sock.captureString(text, 1000);
    EXPECT_EQ(text, std::string(1000, 'b'));
}

TEST_F(TcpTransferTest, WriteSendsOnlyTheBytesBeforeTheNul) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.readBytes(8);
        c.send("ok\n");
        c.waitForClose();
    });
    connectTo(server);
    sock.write(std::string("abc\0def", 7));
    EXPECT_EQ(errorText([&] { sock.write(std::string(TcpClient::kMaxWrite + 1, 'z')); }),
              "Range check error");
    sock.writeln("end");
    // Closing resets the connection, which drops what the server has not read yet.
    EXPECT_EQ(sock.readLine(), "ok\n");
    EXPECT_EQ(server.requests(), std::vector<std::string>{"abcend\r\n"});
}

TEST_F(TcpTransferTest, SendToAPeerThatNeverReadsEndsByTheTimeOut) {
    LoopbackServer server([](ServerConnection& c, int) { c.waitForCloseUnread(); });
    connectTo(server);
    sock.timeoutMs = 200;
    const std::string block(TcpClient::kMaxWrite, 's');
    // Loopback buffers hold a few megabytes; 64 MiB cannot fit.
    EXPECT_EQ(errorText<TransferAborted>([&] {
                  for (int i = 0; i < 1024; ++i) sock.write(block);
              }),
              "Socket send aborted");
    EXPECT_TRUE(sock.timedOut());
}

TEST_F(TcpTransferTest, SendFileAndCaptureFileCarryEveryByte) {
    corvalo::testing::TempDir dir;
    std::string content(200000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    corvalo::testing::writeFile(dir / "out.bin", content);
    LoopbackServer server([&](ServerConnection& c, int) {
        c.send(c.readBytes(content.size()));  // echoed back for captureFile
    });
    connectTo(server);
    int packets = 0;
    sock.onPacketSent = [&](TcpClient&) { ++packets; };
    sock.sendFile((dir / "out.bin").string());
    EXPECT_EQ(sock.bytesSent(), 200000);
    sock.captureFile((dir / "in.bin").string());
    EXPECT_GE(packets, 1);
    EXPECT_TRUE(server.requests().at(0) == content);
    EXPECT_TRUE(corvalo::testing::readFile(dir / "in.bin") == content);
}

TEST_F(TcpTransferTest, TransactionReadsTheReplyNumberFromUpToTenLeadingDigits) {
    const struct {
        const char* name;
        std::string reply;
        std::int64_t number;
    } rows[] = {
        {"three digits", "250 OK here\r\n", 250},
        {"beyond 16 bits", "70000 big\r\n", 70000},
        {"ten digits", "9999999999\r\n", 9999999999},
        {"only the first ten of eleven", "12345678901\r\n", 1234567890},
        {"no leading digit", "OK 250\r\n", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server([&](ServerConnection& c, int) {
            c.readBytes(6);
            c.send(row.reply);
            c.waitForClose();
        });
        connectTo(server);
        sock.reportLevel = StatusLevel::Reply;
        EXPECT_EQ(sock.transaction("NOOP"), row.reply);
        EXPECT_EQ(sock.replyNumber(), row.number);
        EXPECT_EQ(sock.status(), row.reply);
        sock.disconnect();
        EXPECT_EQ(server.requests(), std::vector<std::string>{"NOOP\r\n"});
    }
}

}  // namespace
}  // namespace corvalo::net
