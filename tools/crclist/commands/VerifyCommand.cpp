#include "commands/VerifyCommand.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "disc/DiscFolder.h"
#include "disc/DiscImage.h"
#include "disc/FolderReader.h"
#include "disc/ImageReader.h"
#include "lists/DiscCheck.h"
#include "lists/ListFile.h"
#include "lists/ListedFile.h"
#include "lists/Paths.h"
#include "lists/Text.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

std::string Files(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " file" : " files");
}

std::string Failure(const FileOutcome& outcome, const ListedFile& file,
                    const std::string& rootPath) {
  switch (outcome.status) {
    case FileStatus::Refused:
      return "not read: " + outcome.reason;
    case FileStatus::Missing: {
      const fs::path path = fs::u8path(rootPath) / fs::u8path(platform::NativePath(file.path));
      std::error_code error;
      if (fs::is_symlink(fs::symlink_status(path, error)) && !fs::exists(path, error)) {
        return "a broken symbolic link to " + fs::read_symlink(path, error).u8string();
      }
      return "missing or cannot be opened: " + outcome.reason;
    }
    case FileStatus::SizeDiffers:
      return "wrong size: listed " + std::to_string(static_cast<std::uint32_t>(file.entry.size)) +
             " bytes, found " + std::to_string(*outcome.foundSize);
    case FileStatus::Unreadable:
      return "unreadable at byte " + std::to_string(outcome.failedAt) + ": " + outcome.reason;
    case FileStatus::Ambiguous:
      return outcome.reason;
    default: {
      const auto listedSize = static_cast<std::uint32_t>(file.entry.size);
      const std::string over = outcome.bytesRead == listedSize
                                   ? ""
                                   : " over the " + std::to_string(outcome.bytesRead) +
                                         " bytes read, where the list says " +
                                         std::to_string(listedSize);
      return "wrong CRC-32: listed " + text::Hex(file.entry.crc, 8) + ", found " +
             text::Hex(*outcome.foundCrc, 8) +
             over;
    }
  }
}

// "3 CDFILES, 2 GAMEDATA": the files verified intact, by section.
std::string VerifiedBySection(const VerifyReport& report) {
  std::size_t cdFiles = 0;
  std::size_t gameData = 0;
  for (std::size_t i = 0; i < report.files.size(); ++i) {
    if (report.outcomes[i].status != FileStatus::Intact) continue;
    ++(report.files[i].section == TokenCode::KwCdFiles ? cdFiles : gameData);
  }
  return std::to_string(cdFiles) + " CDFILES, " + std::to_string(gameData) + " GAMEDATA";
}

std::string TimeTaken(const VerifyReport& report) {
  std::uint64_t bytes = 0;
  for (const FileOutcome& outcome : report.outcomes) bytes += outcome.bytesRead;
  const double megabytes = static_cast<double>(bytes) / 1e6;
  char text[96];
  std::snprintf(text, sizeof text, "%.1f MB read in %.2f s, %.1f MB/s", megabytes, report.seconds,
                report.seconds > 0 ? megabytes / report.seconds : 0.0);
  return text;
}

}  // namespace

VerifyCommand::VerifyCommand(VerifyOptions chosen, std::function<bool()> stopPolled,
                             ProgressTerminal terminal)
    : options(std::move(chosen)),
      stopRequested(std::move(stopPolled)),
      progressTerminal(std::move(terminal)) {}

CommandOutcome VerifyCommand::Run(std::ostream& out, std::ostream& err) const {
  VerifyReport report;
  std::string bytes;
  std::string why;
  if (!ReadList(report, bytes, why)) return {2, why};
  if (bytes.empty()) return {2, report.list + ": " + list_file::kEmptyList};
  const Linter linter(bytes);
  DiscListing listing;
  std::string listingProblem;
  const bool listed = ListDisc(report, listing, listingProblem);
  if (!listed && !options.image.empty()) return {2, listingProblem};
  report.lines = &linter.Lines();
  report.findings =
      VerificationFindings(linter, report, listed ? &listing : nullptr, listingProblem);
  list_file::PrintFindings(err, report.list, linter.Lines(), report.findings);

  if (!CanVerify(linter, report.list, why)) return {2, why};
  report.files = DiscFiles(linter.Reading());

  std::ofstream jsonFile;
  if (!options.json.empty() && options.json != "-") {
    jsonFile.open(fs::u8path(options.json), std::ios::binary);
    if (!jsonFile) return {2, options.json + ": cannot be written: " + std::strerror(errno)};
  }
  // Standard output carries the JSON report alone when it goes there.
  std::ostream& messages = options.json == "-" ? err : out;
  std::vector<std::string> twins;
  for (const ListedFile& file : report.files) twins.push_back(disc_check::Twins(file.path, listing));
  const std::unique_ptr<DiscReader> reader = OpenDisc(report, std::move(listing));
  int code = VerifyFiles(*reader, twins, report, messages, err);
  if (code == 0 && options.strict && !report.findings.empty()) {
    messages << "the list's " << report.findings.size()
             << (report.findings.size() == 1 ? " finding fails" : " findings fail")
             << " the run under --strict\n";
    code = 1;
  }
  if (options.json.empty()) return {code, ""};
  std::ostream& json = options.json == "-" ? out : jsonFile;
  report.Write(json);
  if (jsonFile.is_open()) jsonFile.close();
  if (!json) return {code == 0 ? 2 : code, options.json + ": the report could not be written"};
  return {code, ""};
}

bool VerifyCommand::ReadList(VerifyReport& report, std::string& bytes, std::string& why) const {
  if (!options.image.empty()) {
    report.root = options.image;
    if (options.list.empty()) {
      report.list = options.image + ": crclist.INF";
      return DiscImage::ReadFile(options.image, "crclist.INF", bytes, why);
    }
    // LIST may be the folder that holds the list, as without --image.
    std::error_code error;
    const bool folder = fs::is_directory(fs::u8path(options.list), error);
    report.list = folder ? (fs::u8path(options.list) / "crclist.INF").u8string() : options.list;
  } else if (!FindFolderPaths(report.list, report.root, why)) {
    return false;
  }
  std::string problem;
  if (list_file::Read(report.list, bytes, problem)) return true;
  why = report.list + ": " + problem;
  return false;
}

bool VerifyCommand::FindFolderPaths(std::string& listPath, std::string& rootPath,
                                    std::string& why) const {
  fs::path list = fs::u8path(options.list);
  fs::path root = fs::u8path(options.root);
  std::error_code error;
  if (options.list.empty()) {
    if (root.empty()) root = ".";
    list = root / "crclist.INF";
  } else if (fs::is_directory(list, error)) {
    if (root.empty()) root = list;
    list /= "crclist.INF";
  } else if (root.empty()) {
    root = list.has_parent_path() ? list.parent_path() : fs::path(".");
  }
  rootPath = root.make_preferred().u8string();
  listPath = list.make_preferred().u8string();
  if (!fs::is_directory(root, error)) {
    why = rootPath + ": no such folder";
    return false;
  }
  std::string unused;
  return paths::ToListPath(rootPath, unused, why) && paths::ToListPath(listPath, unused, why);
}

bool VerifyCommand::ListDisc(VerifyReport& report, DiscListing& listing,
                             std::string& problem) const {
  if (!options.image.empty()) return DiscImage::List(options.image, listing, problem, &report.image);
  // The verification compares the sizes itself.
  return disc_folder::List(report.root, fs::u8path(report.list), disc_folder::Sizes::Unlisted,
                           listing, problem);
}

// What the list holds that changes what is verified, and how it compares with the disc.
std::vector<Finding> VerifyCommand::VerificationFindings(const Linter& linter,
                                                         const VerifyReport& report,
                                                         const DiscListing* listing,
                                                         const std::string& listingProblem) const {
  std::vector<Finding> findings = linter.Findings();
  // A list that does not load verifies nothing, and its files say nothing about the disc.
  if (linter.Loads() && listing != nullptr) {
    const bool isFolder = options.image.empty();
    const std::vector<Finding> onDisc = disc_check::Compare(
        linter.DiscFiles(), *listing, (isFolder ? "under " : "in ") + report.root, isFolder);
    findings.insert(findings.end(), onDisc.begin(), onDisc.end());
  } else if (linter.Loads()) {
    findings.push_back({Finding::kWholeFile, FindingKind::UnlistedFile,
                        listingProblem + " (under " + report.root +
                            "), so the folder's files are not compared with the list"});
  }
  std::vector<Finding> changing;
  for (const Finding& finding : findings) {
    if (Finding::ChangesVerification(finding.kind)) changing.push_back(finding);
  }
  return changing;
}

// The program's own load, whose steps the findings printed before have followed.
bool VerifyCommand::CanVerify(const Linter& linter, const std::string& shownList,
                              std::string& why) const {
  if (!linter.Loads()) {
    why = shownList +
          ": the check list cannot be loaded: Disksentry stops reading it where shown above";
    return false;
  }
  if (linter.Reading().driveInfo.empty()) {
    why = shownList + ": no DRIVEINFO value, so the program's disc check stops before any file";
    return false;
  }
  return true;
}

std::unique_ptr<DiscReader> VerifyCommand::OpenDisc(const VerifyReport& report,
                                                    DiscListing listing) const {
  if (!options.image.empty()) {
    return std::make_unique<ImageReader>(options.image, std::move(listing));
  }
  std::string root;
  platform::Utf8ToCp932(report.root, root);
  return std::make_unique<FolderReader>(root, report.root, report.files, options.reading);
}

// twins tells, for each file, the files that Windows takes for one under its name.
int VerifyCommand::VerifyFiles(DiscReader& reader, const std::vector<std::string>& twins,
                               VerifyReport& report, std::ostream& out, std::ostream& err) const {
  const std::vector<ListedFile>& files = report.files;
  report.outcomes.assign(files.size(), FileOutcome{});
  std::uint64_t totalBytes = 0;
  for (const ListedFile& file : files) totalBytes += static_cast<std::uint32_t>(file.entry.size);
  ProgressLine progress(err, progressTerminal, totalBytes, files.size());
  const auto started = std::chrono::steady_clock::now();
  std::size_t failures = 0;
  const bool read = ReadEach(reader, files, 1, progress, stopRequested,
                             [&](std::size_t i, FileOutcome outcome) {
    if (!twins[i].empty()) {
      outcome.status = FileStatus::Ambiguous;
      outcome.reason = twins[i];
    }
    report.outcomes[i] = outcome;
    if (outcome.status == FileStatus::Intact) {
      if (options.verbose) {
        progress.Clear();
        out << platform::NativePath(files[i].path) << ": intact\n";
      }
      return true;
    }
    progress.Clear();
    out << platform::NativePath(files[i].path) << ": " << Failure(outcome, files[i], report.root) << "\n";
    ++failures;
    return options.keepGoing;
  });
  report.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return Summarize(report, failures, !read, out, err);
}

// The result on out; the time it took on err, so that out is the same from run to run.
int VerifyCommand::Summarize(const VerifyReport& report, std::size_t failures, bool stopped,
                             std::ostream& out, std::ostream& err) const {
  const std::size_t total = report.files.size();
  if (stopped) {
    std::size_t done = 0;
    for (const FileOutcome& outcome : report.outcomes) {
      done += outcome.status == FileStatus::NotReached ? 0 : 1;
    }
    out << "stopped after " << done << " of " << Files(total);
    if (failures != 0) out << "; " << failures << " had failed";
    out << "\n";
    return 130;
  }
  if (failures != 0 && !options.keepGoing) {
    out << "stopped at the first failure, as Disksentry does (--keep-going verifies every "
           "file)\n";
    return 1;
  }
  if (failures != 0) {
    out << failures << " of " << Files(total) << " failed; verified: " << VerifiedBySection(report)
        << "\n" << std::flush;
    err << TimeTaken(report) << "\n";
    return 1;
  }
  if (!options.quiet) {
    out << (total == 1 ? "" : "all ") << Files(total) << " verified: " << VerifiedBySection(report)
        << "\n" << std::flush;
    err << TimeTaken(report) << "\n";
  }
  return 0;
}
