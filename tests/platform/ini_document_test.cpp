#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <random>

#include "platform/ini_document.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray gbk(const char* utf8) {
  return encodeIniText(QString::fromUtf8(utf8), IniEncoding::ChineseAnsi);
}

QString u8(const char* text) {
  return QString::fromUtf8(text);
}

// Whatever a file holds, loading and writing it back without a change gives the same bytes.
TEST(IniDocumentTest, UnchangedFilesComeBackByteForByte) {
  const QByteArray files[] = {
      "",
      "; only a comment",
      "[a]\r\nk=v\r\n\r\n; note\r\n[b]\r\nx = y \r\n",
      "[a]\nk=v\nno trailing newline",
      "\xEF\xBB\xBF[编辑框]\nmixed=1\r\nline ends\n",
      "  [ spaced ]  \n\tkey\t=\t\"quoted\"\t\n=no key\n[broken\n\x01\x02 binary\n",
      gbk("[初始化]\r\n图片比例=30\r\n") + "\xFF stray byte\r\n",
  };
  for (const QByteArray& bytes : files)
    EXPECT_EQ(IniDocument::fromBytes(bytes).toBytes(), bytes) << bytes.toHex().toStdString();
}

TEST(IniDocumentTest, ReadsPrivateProfileStyle) {
  const IniDocument document = IniDocument::fromBytes(
      "\xEF\xBB\xBF; c\r\n[ChoiceboxEx]\r\nName = spaced value \r\nQuoted=\"  in quotes  \"\r\n"
      ";Commented=1\r\n[choiceboxex]\r\nLater=2\r\n");
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"choiceboxex", "NAME", "spaced value"},
      {"ChoiceboxEx", "Quoted", "  in quotes  "},
      {"ChoiceboxEx", "Commented", "fallback"},
      {"ChoiceboxEx", "Later", "fallback"},  // only the first section of a name counts
      {"Missing", "Name", "fallback"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(
        document.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QStringLiteral("fallback")),
        QString::fromUtf8(c.expected))
        << c.section << "/" << c.key;
}

TEST(IniDocumentTest, EditsTouchOnlyTheirLinesAndKeepTheLineEndStyle) {
  IniDocument document = IniDocument::fromBytes("; keep\r\n[One]\r\nA=1\r\nodd line\r\n\r\n[Two]\r\nB=2");
  document.setValue(QStringLiteral("one"), QStringLiteral("a"), QStringLiteral("10"));
  document.setValue(QStringLiteral("One"), QStringLiteral("C"), QStringLiteral("  padded "));
  document.setValue(QStringLiteral("Two"), QStringLiteral("D"), QStringLiteral("two\r\nlines"));
  document.setValue(QStringLiteral("Three"), QStringLiteral("E"), QStringLiteral("\"q\""));
  EXPECT_EQ(document.toBytes(),
            "; keep\r\n[One]\r\na=10\r\nodd line\r\nC=\"  padded \"\r\n\r\n[Two]\r\nB=2\r\nD=two  lines\r\n"
            "[Three]\r\nE=\"\"q\"\"\r\n");
  EXPECT_EQ(document.value(QStringLiteral("One"), QStringLiteral("C")), u"  padded ");
  EXPECT_EQ(document.value(QStringLiteral("Three"), QStringLiteral("E")), u"\"q\"");
}

TEST(IniDocumentTest, NewDocumentsAreUtf8WithLineFeeds) {
  IniDocument document;
  document.setValue(QStringLiteral("初始化"), QStringLiteral("图片比例"), QStringLiteral("24"));
  EXPECT_EQ(document.encoding(), IniEncoding::Utf8);
  EXPECT_EQ(document.toBytes(), QStringLiteral("[初始化]\n图片比例=24\n").toUtf8());
}

// A code page 936 file is read as such and written back as such.
TEST(IniDocumentTest, ChineseAnsiFileIsReadAndWrittenInItsOwnEncoding) {
  const QByteArray original = gbk("[选择框]\r\n选择框_关闭提示=真\r\n; 注释\r\n");
  IniDocument document = IniDocument::fromBytes(original);
  ASSERT_EQ(document.encoding(), IniEncoding::ChineseAnsi);
  EXPECT_EQ(document.value(QStringLiteral("选择框"), QStringLiteral("选择框_关闭提示")), u"真");
  document.setValue(QStringLiteral("选择框"), QStringLiteral("选择框_关闭提示"), QStringLiteral("假"));
  // A character outside code page 936 is kept, not turned into '?'.
  document.setValue(QStringLiteral("编辑框"), QStringLiteral("配置_代理1"), QStringLiteral("€😀"));
  const QByteArray saved = document.toBytes();
  EXPECT_EQ(saved, gbk("[选择框]\r\n选择框_关闭提示=假\r\n; 注释\r\n[编辑框]\r\n配置_代理1=€😀\r\n"));
  EXPECT_EQ(IniDocument::fromBytes(saved).value(QStringLiteral("编辑框"), QStringLiteral("配置_代理1")),
            u"€😀");
}

// A zero-width no-break space at the start of a line is text there, not a byte-order mark to drop.
TEST(IniDocumentTest, LinesStartingWithU_FEFFReadBackInEveryEncoding) {
  for (const QString& key : {QStringLiteral("\uFEFF键"), QStringLiteral("\uFEFF\uFEFF键")}) {
    for (const QByteArray& file : {QByteArray("[s]\n"), gbk("[s]\n中\n"), QByteArray("\xEF\xBB\xBF[s]\n")}) {
      IniDocument document = IniDocument::fromBytes(file);
      document.setValue(QStringLiteral("s"), key, QStringLiteral("值"));
      EXPECT_EQ(document.value(QStringLiteral("s"), key), u"值") << file.toHex().toStdString();
      EXPECT_EQ(IniDocument::fromBytes(document.toBytes()).value(QStringLiteral("s"), key), u"值")
          << file.toHex().toStdString() << " key of " << key.size() << " characters";
    }
  }
}

// Six settings, in files damaged or written in the ways settings files are met in use. Each keeps
// all six values; a save rewrites them in place, adds no second copy of any section and gives back
// what cannot be read byte for byte.
TEST(IniDocumentTest, DamagedAndUnusualFilesKeepEverySetting) {
  const std::vector<IniKey> keys = {
      {u8("编辑框"), u8("编辑框_搜索")},     {u8("选择框"), u8("选择框_快速加载")},
      {u8("选择框"), u8("选择框_关闭提示")}, {u8("组合框"), u8("下拉框_皮肤")},
      {u8("组合框"), u8("下拉框_热键")},     {u8("初始化"), u8("图片比例")}};
  const QStringList before = {u8("猫"), u8("真"), u8("假"), u8("1<|>白色"), u8("4<|>F5"), u8("30")};
  const QStringList after = {u8("狗"), u8("假"), u8("真"), u8("0<|>黑色"), u8("0<|>F1"), u8("40")};
  const QString text =
      u8("[编辑框]\n编辑框_搜索=猫\n[选择框]\n选择框_快速加载=真\n选择框_关闭提示=假\n"
         "[组合框]\n下拉框_皮肤=1<|>白色\n下拉框_热键=4<|>F5\n[初始化]\n图片比例=30\n");
  const QByteArray utf8 = text.toUtf8();
  const qsizetype middle = utf8.indexOf("[组合框]");
  const QByteArray latin1 = "; caf\xE9 cr\xE8me\n";
  const QByteArray garbage("\x00\xFF\xC3\x28 broken \x81\x82\n", 15);
  const QByteArray utf8Line = u8("; 用编辑器加的一行\n").toUtf8();
  QString crText = text;
  crText.replace(u'\n', u'\r');
  struct Case {
    const char* name;
    QByteArray file;
    IniEncoding encoding;
    QByteArray kept;  // bytes that must come back as they were
  } cases[] = {
      {"a Latin-1 comment in a UTF-8 file", latin1 + utf8, IniEncoding::Utf8, latin1},
      {"garbage in the middle", utf8.left(middle) + garbage + utf8.mid(middle), IniEncoding::Utf8, garbage},
      {"UTF-16LE with a byte-order mark", "\xFF\xFE" + encodeIniText(text, IniEncoding::Utf16Le),
       IniEncoding::Utf16Le, "\xFF\xFE"},
      {"UTF-16BE with a byte-order mark", "\xFE\xFF" + encodeIniText(text, IniEncoding::Utf16Be),
       IniEncoding::Utf16Be, "\xFE\xFF"},
      {"CR line ends", crText.toUtf8(), IniEncoding::Utf8, u8("\r[组合框]\r").toUtf8()},
      {"code page 936 with a line added in UTF-8", gbk(text.toUtf8().constData()) + utf8Line,
       IniEncoding::ChineseAnsi, utf8Line},
  };
  std::vector<IniEntry> changes;
  for (size_t i = 0; i < keys.size(); ++i)
    changes.push_back({keys[i].section, keys[i].key, after[qsizetype(i)]});
  const auto valuesOf = [&keys](const IniDocument& document) {
    QStringList found;
    for (const auto& value : document.values(keys)) found << value.value_or(u8("(missing)"));
    return found;
  };
  for (const Case& c : cases) {
    IniDocument document = IniDocument::fromBytes(c.file);
    EXPECT_EQ(document.encoding(), c.encoding) << c.name;
    EXPECT_EQ(valuesOf(document), before) << c.name;
    document.setValues(changes);
    const QByteArray saved = document.toBytes();
    EXPECT_EQ(valuesOf(IniDocument::fromBytes(saved)), after) << c.name;
    EXPECT_TRUE(saved.contains(c.kept)) << c.name;
    EXPECT_EQ(saved.size(), c.file.size()) << c.name << ": every value changed in place, nothing added";
    for (const char* section : {"[编辑框]", "[选择框]", "[组合框]", "[初始化]"})
      EXPECT_EQ(saved.count(encodeIniText(u8(section), c.encoding)), 1) << c.name << " " << section;
  }
}

// What is not a regular file is neither read nor replaced, and nothing waits on it or reads it to
// its end: a FIFO (which would wait for a writer for ever), a link to /dev/zero, a file too large.
TEST(IniDocumentTest, WhatIsNoRegularFileIsNeitherReadNorReplaced) {
  test::Sandbox sandbox;
  const QString fifo = sandbox.filePath(QStringLiteral("fifo.ini"));
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
  const QString zero = sandbox.filePath(QStringLiteral("zero.ini"));
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
  const QString large = sandbox.write(QStringLiteral("large.ini"));
  ASSERT_TRUE(QFile::resize(large, kMaxIniFileBytes + 1));
  for (const QString& path : {fifo, zero, large}) EXPECT_FALSE(IniDocument::load(path)) << path.toStdString();
  IniDocument document;
  document.setValue(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
  EXPECT_FALSE(document.save(fifo));
  EXPECT_FALSE(document.save(zero));
  struct stat fifoState {};
  EXPECT_TRUE(stat(QFile::encodeName(fifo).constData(), &fifoState) == 0 && S_ISFIFO(fifoState.st_mode));
  EXPECT_EQ(QFileInfo(zero).symLinkTarget(), QStringLiteral("/dev/zero"));
}

TEST(IniDocumentTest, LoadAndSave) {
  test::Sandbox sandbox;
  const QString path = sandbox.filePath(QStringLiteral("deep/Pimrose.ini"));
  std::optional<IniDocument> document = IniDocument::load(path);
  ASSERT_TRUE(document);  // missing: empty
  document->setValue(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
  ASSERT_TRUE(document->save(path));
  EXPECT_EQ(contents(path), "[a]\nb=c\n");
  EXPECT_FALSE(QFile::exists(path + QStringLiteral(".saving")));
  // A path that cannot be read is no document, and nothing can be saved over a folder.
  const QString folder = sandbox.makeFolder(QStringLiteral("folder.ini"));
  EXPECT_FALSE(IniDocument::load(folder));
  EXPECT_FALSE(document->save(folder));
}

// A save goes through every link of a chain to the real file and leaves the links as they are; a link
// to nothing gets its file made; a file the user made read-only is left alone.
TEST(IniDocumentTest, SavesFollowLinksAndRespectReadOnlyFiles) {
  test::Sandbox sandbox;
  const QString real = sandbox.write(QStringLiteral("real/real.ini"), "[a]\nb=1\n");
  const QString middle = sandbox.filePath(QStringLiteral("links/middle.ini"));
  const QString first = sandbox.filePath(QStringLiteral("first.ini"));
  sandbox.makeFolder(QStringLiteral("links"));
  ASSERT_EQ(symlink("../real/real.ini", QFile::encodeName(middle).constData()), 0);  // relative
  ASSERT_TRUE(QFile::link(middle, first));
  const QString dangling = sandbox.filePath(QStringLiteral("dangling.ini"));
  ASSERT_TRUE(QFile::link(sandbox.filePath(QStringLiteral("made/later.ini")), dangling));
  const QString readOnly = sandbox.write(QStringLiteral("read-only.ini"), "[a]\nb=1\n");
  ASSERT_EQ(chmod(QFile::encodeName(readOnly).constData(), 0444), 0);

  for (const QString& path : {first, dangling, readOnly}) {
    IniDocument document = *IniDocument::load(path);
    document.setValue(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("2"));
    EXPECT_EQ(document.save(path), path != readOnly) << path.toStdString();
  }
  EXPECT_EQ(contents(real), "[a]\nb=2\n");
  EXPECT_TRUE(QFileInfo(first).isSymLink());
  EXPECT_TRUE(QFileInfo(middle).isSymLink());
  EXPECT_TRUE(QFileInfo(dangling).isSymLink());
  EXPECT_EQ(contents(sandbox.filePath(QStringLiteral("made/later.ini"))), "[a]\nb=2\n");
  EXPECT_EQ(contents(readOnly), "[a]\nb=1\n");
}

// A child saves the old and the new document in turn and is killed at random moments; the file must
// always be one of the two, never a mixture or a truncated one.
TEST(IniDocumentTest, KilledSavesLeaveTheOldOrTheNewFile) {
  test::Sandbox sandbox;
  const QString path = sandbox.filePath(QStringLiteral("Pimrose.ini"));
  IniDocument oldDocument;
  for (int i = 0; i < 300; ++i)
    oldDocument.setValue(QStringLiteral("选择框"), QStringLiteral("key%1").arg(i), QStringLiteral("假"));
  IniDocument newDocument = oldDocument;
  for (int i = 0; i < 300; i += 2)
    newDocument.setValue(QStringLiteral("选择框"), QStringLiteral("key%1").arg(i), QStringLiteral("真真真"));
  const QByteArray oldBytes = oldDocument.toBytes();
  const QByteArray newBytes = newDocument.toBytes();
  ASSERT_TRUE(oldDocument.save(path));

  // The child tells after every finished save, so each kill lands a chosen number of saves in (the
  // file is then the old or the new document by turns) plus a random part of the next save.
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> finishedSaves(1, 2);
  std::uniform_int_distribution<long> delayNs(0, 2'000'000);
  int sawOld = 0, sawNew = 0;
  for (int round = 0; round < 1000; ++round) {
    int saved[2];
    ASSERT_EQ(pipe(saved), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(saved[0]);
      for (bool flip = true;; flip = !flip) {
        (flip ? newDocument : oldDocument).save(path);
        if (write(saved[1], "s", 1) != 1) _exit(1);
      }
    }
    close(saved[1]);
    char byte = 0;
    for (int wanted = finishedSaves(random); wanted > 0; --wanted)
      ASSERT_EQ(read(saved[0], &byte, 1), 1) << "the saving child ended by itself";
    const timespec delay{0, delayNs(random)};
    nanosleep(&delay, nullptr);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(saved[0]);
    const QByteArray now = contents(path);
    ASSERT_TRUE(now == oldBytes || now == newBytes) << "round " << round << ", " << now.size() << " bytes";
    (now == newBytes ? sawNew : sawOld)++;
  }
  // The kills did land at different moments of the saves.
  EXPECT_GT(sawOld, 0);
  EXPECT_GT(sawNew, 0);
}

}  // namespace
}  // namespace pimrose
