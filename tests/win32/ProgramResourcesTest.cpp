#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// The built program, as Wine reaches it through drive Z:.
const std::string kProgram = std::string("Z:") + DISKSENTRY_EXE;

// The program file's version resource, read through the version API.
class VersionInfo {
 public:
  VersionInfo() {
    const DWORD size = GetFileVersionInfoSizeA(kProgram.c_str(), nullptr);
    data.resize(size);
    loaded = size > 0 && GetFileVersionInfoA(kProgram.c_str(), 0, size, data.data());
  }

  bool Loaded() const { return loaded; }

  const void* Query(const std::string& path) const {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), path.c_str(), &value, &length) || length == 0) return nullptr;
    return value;
  }

  std::string Text(const std::string& block, const std::string& name) const {
    const void* text = Query("\\StringFileInfo\\" + block + "\\" + name);
    return text == nullptr ? "(missing)" : static_cast<const char*>(text);
  }

 private:
  std::vector<char> data;
  bool loaded = false;
};

// The version as four 16-bit parts, the way the fixed file information holds it.
std::vector<unsigned> FourParts(DWORD mostSignificant, DWORD leastSignificant) {
  return {HIWORD(mostSignificant), LOWORD(mostSignificant), HIWORD(leastSignificant),
          LOWORD(leastSignificant)};
}

// The project version "major.minor.patch" as four parts, the fourth zero.
std::vector<unsigned> ProjectVersionParts() {
  std::vector<unsigned> parts;
  std::string rest = DISKSENTRY_VERSION;
  while (!rest.empty()) {
    const std::size_t dot = rest.find('.');
    parts.push_back(static_cast<unsigned>(std::stoul(rest.substr(0, dot))));
    rest = dot == std::string::npos ? "" : rest.substr(dot + 1);
  }
  parts.resize(4, 0);
  return parts;
}

// The activation context Windows builds from the program's manifest when it starts it.
class ProgramManifest {
 public:
  ProgramManifest() {
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = kProgram.c_str();
    request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    context = CreateActCtxA(&request);
  }
  ~ProgramManifest() {
    if (context != INVALID_HANDLE_VALUE) ReleaseActCtx(context);
  }
  ProgramManifest(const ProgramManifest&) = delete;
  ProgramManifest& operator=(const ProgramManifest&) = delete;

  HANDLE Context() const { return context; }

  // A windowsSettings value, or "(absent)".
  std::wstring Setting(const wchar_t* space, const wchar_t* name) const {
    wchar_t value[256] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, space, name, value, 256, &written)) return L"(absent)";
    return value;
  }

  // The information of one class, or nothing when the query fails.
  std::vector<char> Query(ULONG what, void* index = nullptr) const {
    std::vector<char> buffer(4096);
    SIZE_T written = 0;
    if (!QueryActCtxW(0, context, index, what, buffer.data(), buffer.size(), &written)) {
      buffer.clear();
    }
    return buffer;
  }

 private:
  HANDLE context = INVALID_HANDLE_VALUE;
};

// The compatibility information as Windows 10 (since 1903) and Wine lay it out; MinGW's headers
// lack the last field of each element.
struct CompatibilityElement {
  GUID id;
  ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
  ULONGLONG maxVersionTested;
};
struct CompatibilityInformation {
  DWORD count;
  CompatibilityElement elements[16];
};

const wchar_t kSettings2005[] = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
const wchar_t kSettings2016[] = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
const wchar_t kSettings2019[] = L"http://schemas.microsoft.com/SMI/2019/WindowsSettings";

}  // namespace

TEST(ProgramResources, VersionNamesTheProductAndCarriesTheProjectVersion) {
  const VersionInfo version;
  ASSERT_TRUE(version.Loaded()) << kProgram << " has no version resource";

  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(version.Query("\\"));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(FourParts(fixed->dwFileVersionMS, fixed->dwFileVersionLS), ProjectVersionParts());
  EXPECT_EQ(FourParts(fixed->dwProductVersionMS, fixed->dwProductVersionLS), ProjectVersionParts());
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  // Explorer picks the string block through the translation table.
  const auto* translation = static_cast<const WORD*>(version.Query("\\VarFileInfo\\Translation"));
  ASSERT_NE(translation, nullptr);
  EXPECT_EQ(translation[0], 0x0411) << "Japanese";
  EXPECT_EQ(translation[1], 1200) << "UTF-16";

  const char block[] = "041104B0";
  EXPECT_EQ(version.Text(block, "ProductName"), "Disksentry");
  EXPECT_EQ(version.Text(block, "FileVersion"), DISKSENTRY_VERSION);
  EXPECT_EQ(version.Text(block, "ProductVersion"), DISKSENTRY_VERSION);
  EXPECT_EQ(version.Text(block, "OriginalFilename"), "disksentry.exe");
  EXPECT_EQ(version.Text(block, "FileDescription").rfind("Disksentry: ", 0), 0u)
      << version.Text(block, "FileDescription");
}

TEST(ProgramResources, ManifestParsesIntoTheSettingsItDeclares) {
  const ProgramManifest manifest;
  ASSERT_NE(manifest.Context(), INVALID_HANDLE_VALUE)
      << "no manifest resource, or one Windows rejects: error " << GetLastError();

  EXPECT_EQ(manifest.Setting(kSettings2016, L"dpiAwareness"), L"PerMonitorV2, System");
  EXPECT_EQ(manifest.Setting(kSettings2005, L"dpiAware"), L"true");
  // The texts are code page 932: the process must keep the system's ANSI code page.
  EXPECT_EQ(manifest.Setting(kSettings2019, L"activeCodePage"), L"(absent)");

  const std::vector<char> runLevel =
      manifest.Query(RunlevelInformationInActivationContext);
  ASSERT_FALSE(runLevel.empty());
  EXPECT_EQ(reinterpret_cast<const ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION*>(runLevel.data())->RunLevel,
            ACTCTX_RUN_LEVEL_AS_INVOKER);

  const std::vector<char> compatibility = manifest.Query(CompatibilityInformationInActivationContext);
  ASSERT_FALSE(compatibility.empty());
  const auto* systems = reinterpret_cast<const CompatibilityInformation*>(compatibility.data());
  // Vista, 7, 8, 8.1 and 10 (also 11's id), in that order.
  const GUID expected[] = {
      {0xe2011457, 0x1546, 0x43c5, {0xa5, 0xfe, 0x00, 0x8d, 0xee, 0xe3, 0xd3, 0xf0}},
      {0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},
      {0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},
      {0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},
      {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}},
  };
  ASSERT_EQ(systems->count, std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(systems->elements[i].type, ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS);
    EXPECT_TRUE(IsEqualGUID(systems->elements[i].id, expected[i]));
  }
}

// The manifest's dependency sends comctl32.dll to the Common Controls 6 assembly, the themed one.
TEST(ProgramResources, ManifestBringsCommonControlsSix) {
  const ProgramManifest manifest;
  ASSERT_NE(manifest.Context(), INVALID_HANDLE_VALUE);
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(ActivateActCtx(manifest.Context(), &cookie));
  ACTCTX_SECTION_KEYED_DATA found{};
  found.cbSize = sizeof found;
  const BOOL redirected = FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                                   L"comctl32.dll", &found);
  DeactivateActCtx(0, cookie);
  ASSERT_TRUE(redirected) << "comctl32.dll is not redirected to an assembly";

  ACTIVATION_CONTEXT_QUERY_INDEX index{found.ulAssemblyRosterIndex, 0};
  const std::vector<char> assembly =
      manifest.Query(AssemblyDetailedInformationInActivationContext, &index);
  ASSERT_FALSE(assembly.empty());
  const std::wstring identity =
      reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(assembly.data())
          ->lpAssemblyEncodedAssemblyIdentity;
  EXPECT_NE(identity.find(L"Microsoft.Windows.Common-Controls"), std::wstring::npos);
  EXPECT_NE(identity.find(L"version=\"6."), std::wstring::npos);
}
