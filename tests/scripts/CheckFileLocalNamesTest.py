"""Runs scripts/check-file-local-names on pairs of small sources and on a small source tree."""
import subprocess
import sys
import tempfile
import textwrap
import unittest
from pathlib import Path

CHECKER = Path(__file__).resolve().parents[2] / "scripts" / "check-file-local-names"


def run_checker(*args):
    result = subprocess.run([sys.executable, str(CHECKER), *map(str, args)], capture_output=True,
                            text=True, check=False)
    return result.returncode, result.stderr


def write(folder, name, text):
    path = Path(folder) / name
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text(textwrap.dedent(text))
    return path


# (name, first source, second source, the clash as the later file's kind of it, the name and the
# lines it stands on in each file, or None)
PAIRS = [
    ("SameFunctionOtherParameters",
     """
     namespace {
     bool IsBlank(char c) { return c == ' '; }
     }
     """,
     """
     #include <string>

     namespace {
     template <class Ch>
     bool IsBlank(Ch c) { return c <= ' '; }
     }
     """,
     ("function", "IsBlank", 3, 6)),
    ("DistinctNames",
     """
     namespace {
     bool IsSeparatingBlank(char c) { return c == ' '; }
     }
     """,
     """
     namespace {
     bool IsTrimBlank(char c) { return c <= ' '; }
     }
     """,
     None),
    ("StaticFunctions",
     "static int Count(int a) { return a; }\n",
     "\n\nstatic long Count(const char* s, int n) { return n; }\n",
     ("function", "Count", 1, 3)),
    ("AnonymousInsideNamedNamespace",
     "namespace qj {\nnamespace {\nvoid Paint(int) {}\n}  // namespace\n}  // namespace qj\n",
     "namespace other::inner {\nnamespace {\nvoid Paint(double) {}\n}\n}\n",
     ("function", "Paint", 3, 3)),
    ("TypeAndFunction",
     "namespace {\nstruct TLayout final : TBase {\n  int Width;\n};\n}\n",
     "namespace {\nvoid TLayout(int) {}\n}\n",
     ("function", "TLayout", 2, 2)),
    ("NamespaceScopeConstants",
     "constexpr int kMargin = 4;\n",
     "namespace qj {\nconst char* const kMargin = \"4\";\n}\n",
     ("variable", "kMargin", 1, 2)),
    ("TemplateArgumentsAreNotTheConstant",
     "const std::array<const char*, 2> kNames = {\"a\", \"b\"};\n",
     "namespace {\nint kNames[2];\n}\n",
     ("variable", "kNames", 1, 2)),
    ("SecondDeclaratorAndFunctionPointer",
     "namespace {\nconstexpr int kFirst = 1, kDelay = 250;\n}\n",
     "namespace {\nvoid (*kDelay)(int) = nullptr;\n}\n",
     ("variable", "kDelay", 2, 2)),
    ("VariableAfterATypeBody",
     "const struct TRegistration {\n  TRegistration() {}\n} Registration;\n",
     "namespace {\nint Registration = 0;\n}\n",
     ("variable", "Registration", 3, 2)),
    ("NonConstantGlobalsAreNotFileLocal",
     "int gCount = 0;\nconst char* gName = \"a\";\nvoid Run(int) {}\n",
     "int gCount = 1;\nconst char* gName = \"b\";\nvoid Run(double) {}\n",
     None),
    ("MembersLocalsAndOtherScopesAreNotFileLocal",
     """
     namespace {
     struct TA {
       static int Count(int);
       int Width;
     };
     }
     int TA::Count(int a) {
       static int Width = 0;
       return a + Width;
     }
     """,
     """
     class TB {
       static int Count(double);
       int Width;
     };
     void Use() {
       struct Width {};
       static int Count = 0;
     }
     """,
     None),
    ("WordsInCommentsStringsAndMacrosAreNotNames",
     """
     // namespace { void Helper(int); }
     #define HELPER(x) static void Helper(x) {}
     const char* kText = "namespace { void Helper(int); }";
     TEST(Suite, Helper) { EXPECT_TRUE(true); }
     """,
     """
     namespace {
     void Helper(double) {}
     }
     """,
     None),
    ("MacroCallsWithoutSemicolonBeforeADeclaration",
     "QJ_IMPLEMENT_CLASS(TA)\nQJ_IMPLEMENT_CLASS(TB)\nconst TResourceString sTitle{1, \"a\"};\n",
     "static const char* const sTitle = \"b\";\n",
     ("variable", "sTitle", 3, 1)),
    ("SameAliasOfTheSameType",
     "namespace {\nusing TLog = std::vector<String>;\n}\n",
     "namespace {\nusing TLog = std::vector<String>;\n}\n",
     None),
    ("SameAliasOfAnotherType",
     "namespace {\nusing TLog = std::vector<String>;\n}\n",
     "namespace {\nusing TLog = std::vector<int>;\n}\n",
     ("type", "TLog", 2, 2)),
    ("PrintersOfEachFilesOwnType",
     """
     namespace {
     struct TCaseA { const char* Name; };
     void PrintTo(const TCaseA& c, std::ostream* os) { *os << c.Name; }
     std::ostream& operator<<(std::ostream& os, const TCaseA& c) { return os << c.Name; }
     }
     """,
     """
     namespace {
     struct TCaseB { const char* Name; };
     void PrintTo(const TCaseB& c, std::ostream* os) { *os << c.Name; }
     std::ostream& operator<<(std::ostream& os, const TCaseB& c) { return os << c.Name; }
     }
     """,
     None),
    ("PrintersOfOtherTypes",
     "namespace {\nstruct TCaseA {};\nvoid PrintTo(int, std::ostream*) {}\n}\n",
     "namespace {\nvoid PrintTo(const TColor& c, std::ostream* os) {}\n}\n",
     ("function", "PrintTo", 3, 2)),
    ("DirectInitializedConstant",
     "namespace {\nvoid BuildPage() {}\n}\nconst TPageRegistration Page(\"Colours\", 712, &BuildPage);\n",
     "static void Page(int) {}\n",
     ("function", "Page", 4, 1)),
    ("ParametersWithTemplateArgumentsAreNoInitializer",
     "namespace {\nString Mapped(const std::array<Byte, 256>& map) { return {}; }\n}\n",
     "namespace {\nconst int Mapped(-1);\n}\n",
     ("variable", "Mapped", 2, 2)),
    ("FunctionDeclarationsReturningConstantsAreNotFileLocal",
     "const String Caption(const std::array<Byte, 256>* map, int AIndex = 0);\nconst String Title();\n",
     "const String Caption(const std::array<Byte, 256>* map, int AIndex = 0);\nconst String Title();\n",
     None),
    ("RawStringsAndDigitSeparatorsKeepTheLines",
     "namespace {\nconst char* const kScript = R\"(\n{ \" }\n)\";\nint kLimit = 1'000'000;\n}\n",
     "namespace {\nint kLimit = 2;\n}\n",
     ("variable", "kLimit", 5, 2)),
]


class PairsOfSources(unittest.TestCase):
    def test_pairs(self):
        for name, first, second, clash in PAIRS:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                a = write(folder, "a.cpp", first)
                b = write(folder, "b.cpp", second)
                status, message = run_checker(a, b)
                if clash is None:
                    self.assertEqual((status, message), (0, ""))
                    continue
                kind, clashing, line_a, line_b = clash
                self.assertEqual(status, 1, message)
                self.assertIn(f"{b}:{line_b}: error: file-local {kind} '{clashing}' is also "
                              f"defined at {a}:{line_a};", message)

    def test_a_brace_that_never_closes_fails_naming_the_file(self):
        with tempfile.TemporaryDirectory() as folder:
            a = write(folder, "a.cpp", "namespace {\nvoid F() {\n}\n")
            status, message = run_checker(a)
            self.assertEqual(status, 1)
            self.assertIn(f"cannot read the sources of the given files: {a}: line 1", message)


class SourceTree(unittest.TestCase):
    """The batch sets of a tree: each library, each test program, the gallery."""

    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = Path(self.folder.name)
        write(self.root, "CMakeLists.txt", """
            qj_module(qj_rtl        platform/rtl      Threads::Threads)
            qj_module(qj_app        app               qj_rtl)
            """)
        write(self.root, "platform/rtl/Strings.cpp", "namespace {\nvoid Trim(int) {}\n}\n")
        write(self.root, "app/QJEdit.cpp", "namespace {\nvoid Start(int) {}\n}\n")

    def tearDown(self):
        self.folder.cleanup()

    def check(self):
        return run_checker("--root", self.root)

    def test_the_same_name_in_two_batch_sets_passes(self):
        write(self.root, "app/Main.cpp", "namespace {\nvoid Trim(double) {}\n}\n")
        write(self.root, "tests/platform/rtl/StringsTest.cpp", "namespace {\nvoid Trim() {}\n}\n")
        self.assertEqual(self.check(), (0, ""))

    def test_the_programs_entry_is_no_part_of_its_library(self):
        write(self.root, "app/Start.cpp", "namespace {\nvoid Start(double) {}\n}\n")
        self.assertEqual(self.check(), (0, ""))

    def test_sources_in_subfolders_of_a_library_fail(self):
        write(self.root, "platform/rtl/text/Lines.cpp", "static void Trim(double) {}\n")
        status, message = self.check()
        self.assertEqual(status, 1)
        self.assertIn("platform/rtl/text/Lines.cpp:1: error: file-local function 'Trim' is also "
                      "defined at platform/rtl/Strings.cpp:2; both are compiled in the unity "
                      "batches of qj_rtl", message)

    def test_two_files_of_a_test_program_fail(self):
        for name in ("ATest.cpp", "BTest.cpp"):
            write(self.root, f"tests/app/{name}", "namespace {\nstruct TCase {};\n}\n")
        status, message = self.check()
        self.assertEqual(status, 1)
        self.assertIn("tests/app/BTest.cpp:2: error: file-local type 'TCase' is also defined at "
                      "tests/app/ATest.cpp:2; both are compiled in the unity batches of test_app",
                      message)

    def test_two_pages_of_the_gallery_fail(self):
        for name in ("APage.cpp", "BPage.cpp"):
            write(self.root, f"tools/gallery/{name}", "namespace {\nvoid Build() {}\n}\n")
        status, message = self.check()
        self.assertEqual(status, 1)
        self.assertIn("batches of gallery", message)


if __name__ == "__main__":
    unittest.main()
