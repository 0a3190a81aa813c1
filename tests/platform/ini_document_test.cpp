#include <signal.h>
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

TEST(IniDocumentTest, SaveThroughALinkReplacesTheLinkedFile) {
  test::Sandbox sandbox;
  const QString real = sandbox.write(QStringLiteral("real.ini"), "[a]\nb=1\n");
  const QString link = sandbox.filePath(QStringLiteral("link.ini"));
  ASSERT_TRUE(QFile::link(real, link));
  IniDocument document = *IniDocument::load(link);
  document.setValue(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("2"));
  ASSERT_TRUE(document.save(link));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(contents(real), "[a]\nb=2\n");
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
