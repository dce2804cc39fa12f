// What is no file, or lies outside the disc, in a disc folder: named for what it is whether make
// finds it or a list names it, never taken for a missing file, and never waited on.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>

#include "RunCrclist.h"
#include "Workspace.h"

namespace {

namespace fs = std::filesystem;

void MakeFifo(const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); }

// A socket that is bound and then left without its process listening, as a dead server leaves it.
void MakeSocket(const std::string& path) {
  const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(socket, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, path.c_str());
  EXPECT_EQ(bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  close(socket);
}

std::function<void(const std::string&)> LinkTo(const std::string& target) {
  return [target](const std::string& path) { fs::create_symlink(target, path); };
}

std::string Replaced(std::string text, const std::string& mark, const std::string& by) {
  const std::size_t at = text.find(mark);
  return at == std::string::npos ? text : text.replace(at, mark.size(), by);
}

struct OddFile {
  const char* what;
  const char* name;    // made in the disc folder
  const char* listed;  // the name the list gives, through it
  std::function<void(const std::string& path)> make;
  const char* why;     // OUTSIDE is the folder beside the disc
  const char* status;  // in verify's JSON report
};

const OddFile kOddFiles[] = {
    {"a FIFO", "odd.bin", "odd.bin", MakeFifo, "a FIFO, not a file: Disksentry cannot check it",
     "refused"},
    {"a socket", "odd.bin", "odd.bin", MakeSocket,
     "a socket, not a file: Disksentry cannot check it", "refused"},
    {"a device, through a link", "odd.bin", "odd.bin", LinkTo("/dev/null"),
     "a character device, not a file: Disksentry cannot check it", "refused"},
    {"a link that leads nowhere", "odd.bin", "odd.bin", LinkTo("nowhere"),
     "a broken symbolic link to nowhere", "missing"},
    {"a link to a file outside", "odd.bin", "odd.bin", LinkTo("../outside/secret.bin"),
     "the symbolic link odd.bin leads outside the disc's folder, to OUTSIDE/secret.bin, and "
     "crclist reads nothing there",
     "refused"},
    {"a link to a folder outside", "stage", "stage\\secret.bin", LinkTo("../outside"),
     "the symbolic link stage leads outside the disc's folder, to OUTSIDE, and crclist reads "
     "nothing there",
     "refused"},
};

// A list's own text names the odd file first and the plain one after it, so that both the
// message and the run going on past it show.
std::string ListNaming(const std::string& listed) {
  return "[DRIVEINFO]\r\nD\r\n[CDFILES]\r\n" + listed + ",6,0x12345678\r\na.bin,1,0xE8B7BE43\r\n";
}

}  // namespace

TEST(OddFile, IsNamedForWhatItIsAndNeverWaitedOn) {
  for (const OddFile& odd : kOddFiles) {
    SCOPED_TRACE(odd.what);
    Workspace workspace;
    workspace.Write("outside/secret.bin", "secret");
    workspace.Write("disc/a.bin", "a");
    odd.make(workspace.Path("disc/") + odd.name);
    const std::string why =
        Replaced(odd.why, "OUTSIDE", fs::canonical(workspace.Path("outside")).u8string());
    // Where the message names the file by itself, it is not named twice.
    const std::string named = std::string(odd.why).rfind("the symbolic link", 0) == 0
                                  ? why
                                  : std::string(odd.name) + ": " + why;

    // Found in the folder.
    const Outcome made = RunCrclist({"make", workspace.Path("disc"), "--drive-info", "x"});
    EXPECT_EQ(made.code, 2);
    EXPECT_EQ(made.err, "crclist: " + named + "\n");
    EXPECT_FALSE(workspace.Exists("disc/crclist.INF"));
    const std::string list = workspace.Write("list.INF", ListNaming(odd.listed));
    const Outcome linted = RunCrclist({"lint", list, "--root", workspace.Path("disc")});
    EXPECT_EQ(linted.code, 2);
    EXPECT_EQ(linted.err, "crclist: " + named + "\n");

    // Named by the list.
    std::string shown = odd.listed;
    std::replace(shown.begin(), shown.end(), '\\', '/');
    const bool refused = std::string(odd.status) == "refused";
    const Outcome verified =
        RunCrclist({"verify", list, "--root", workspace.Path("disc"), "--keep-going"});
    EXPECT_EQ(verified.code, 1);
    EXPECT_EQ(verified.out.substr(0, verified.out.find('\n')),
              shown + ": " + (refused ? "not read: " + why : why));
    EXPECT_NE(verified.out.find("1 of 2 files failed"), std::string::npos) << verified.out;
    const Outcome reported = RunCrclist(
        {"verify", list, "--root", workspace.Path("disc"), "--keep-going", "--json", "-"});
    const nlohmann::json file = nlohmann::json::parse(reported.out)["files"][0];
    EXPECT_EQ(file["status"], odd.status);
    if (refused) {
      EXPECT_EQ(file["reason"], why);
    }
    EXPECT_EQ(file["bytesRead"], 0);
  }
}

#endif
