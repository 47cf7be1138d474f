#include "instrument/app/ScriptParser.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::string>;

std::vector<ScriptCommand> Parsed(std::string_view text) {
    std::vector<ScriptCommand> commands;
    ScriptError error;
    EXPECT_TRUE(ParseScript(text, commands, error)) << error.line << ": " << error.message;
    return commands;
}

ScriptError Refused(std::string_view text) {
    std::vector<ScriptCommand> commands;
    ScriptError error;
    EXPECT_FALSE(ParseScript(text, commands, error)) << text;
    return error;
}

TEST(ScriptParserTest, QuotedWordsKeepTheirBlanksAndTheirEscapedQuotesAndBackslashes) {
    const std::vector<ScriptCommand> commands = Parsed("shot \"/tmp/my shots/a.png\"\n"
                                                       "dump \"/tmp/say \\\"hi\\\" \\\\ bye.txt\"\n"
                                                       "load \"C:\\data\\a.st\"\n"
                                                       "save \"\"\n"
                                                       "shot \"/tmp/tab\there.png\"\n");
    ASSERT_EQ(commands.size(), 5u);
    EXPECT_EQ(commands[0].verb, ScriptVerb::Shot);
    EXPECT_EQ(commands[0].words, (Words{"shot", "/tmp/my shots/a.png"}));
    EXPECT_EQ(commands[1].words, (Words{"dump", "/tmp/say \"hi\" \\ bye.txt"}));
    // Only a quote and a backslash are escaped; any other backslash stays.
    EXPECT_EQ(commands[2].words, (Words{"load", "C:\\data\\a.st"}));
    EXPECT_EQ(commands[3].words, (Words{"save", ""}));
    EXPECT_EQ(commands[4].words, (Words{"shot", "/tmp/tab\there.png"}));
}

TEST(ScriptParserTest, BlanksCommentsAndLineEndsLeaveTheCommandsAndTheirLineNumbers) {
    const std::vector<ScriptCommand> commands = Parsed("\xEF\xBB\xBF"
                                                       "# a comment\r\n"
                                                       "\r\n"
                                                       "  \t key\t\tVK_F1   \r\n"
                                                       "   # indented comment, hold x 0\n"
                                                       "wait 200\r"
                                                       "\n"
                                                       "tap 10  20\n"
                                                       "\n"
                                                       "quit");
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands[0].line, 3);
    EXPECT_EQ(commands[0].verb, ScriptVerb::Key);
    EXPECT_EQ(commands[0].words, (Words{"key", "VK_F1"}));
    EXPECT_EQ(commands[1].line, 5);
    EXPECT_EQ(commands[1].words, (Words{"wait", "200"}));
    EXPECT_EQ(commands[2].line, 6);
    EXPECT_EQ(commands[2].words, (Words{"tap", "10", "20"}));
    EXPECT_EQ(commands[3].line, 8);
    EXPECT_EQ(commands[3].verb, ScriptVerb::Quit);
    EXPECT_TRUE(Parsed("").empty());
    EXPECT_TRUE(Parsed("\n\n# only\n   \n").empty());
}

TEST(ScriptParserTest, TheFirstBadLineIsNamedWithItsFault) {
    ScriptError error = Refused("wait 10\njump 3\nkey NOKEY\n");
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(error.message, "unknown command 'jump'");

    error = Refused("wait 10\r\n\r\nshot \"/tmp/my shots/a.png\r\nquit\r\n");
    EXPECT_EQ(error.line, 3);
    EXPECT_EQ(error.message, "unterminated quote: \"/tmp/my shots/a.png");
    // An escaped quote does not close the word.
    EXPECT_EQ(Refused("shot \"a.png\\\"\n").message, "unterminated quote: \"a.png\\\"");
    EXPECT_EQ(Refused("shot \"a\".png\n").message, "a closing quote must end the word: \"a\".png");
    EXPECT_EQ(Refused("shot /tmp/a\"b c\".png\n").message, "a quote must start the word: /tmp/a\"b c\".png");

    EXPECT_EQ(Refused("shot \"/tmp/my shots/a.jpg\"").message, "shot needs a NAME.png");
    EXPECT_EQ(Refused("shot /tmp/my shots/a.png").message, "shot needs a NAME.png");
    EXPECT_EQ(Refused("quit now").message, "quit takes no arguments");
    EXPECT_EQ(Refused("hold VK_F1 0").message, "hold needs a key name and a count of key-downs");
    EXPECT_EQ(Refused("battery 256").message, "battery needs a level 0..255");
    EXPECT_EQ(Refused("wait 1234567890").message, "wait needs milliseconds");
    EXPECT_EQ(Refused("answer maybe").message, "answer needs yes, no or ok");
    EXPECT_EQ(Refused("usb in").message, "usb needs insert or remove");
    // A verb is a verb only as written.
    EXPECT_EQ(Refused("Quit").message, "unknown command 'Quit'");
    EXPECT_EQ(Refused("\"\"").message, "unknown command ''");
    EXPECT_EQ(Refused("\"quit now\"").message, "unknown command 'quit now'");
}

TEST(ScriptParserTest, EveryCommandOfTheLanguageReadsAsItsVerb) {
    const std::vector<ScriptCommand> commands =
        Parsed("key F1\nkeydown VK_RIGHT\nkeyup T\nhold V 3\ntap 0 239\n"
               "wait 0\nwait-idle\nwait-test\nshot a.png\nload a.st\n"
               "save b.st\ndump c.txt\npower\nusb insert\nusb remove\n"
               "answer yes\nanswer no\nanswer ok\nbattery 0\nquit\n");
    const std::vector<ScriptVerb> expected = {
        ScriptVerb::Key,    ScriptVerb::KeyDown, ScriptVerb::KeyUp,    ScriptVerb::Hold,
        ScriptVerb::Tap,    ScriptVerb::Wait,    ScriptVerb::WaitIdle, ScriptVerb::WaitTest,
        ScriptVerb::Shot,   ScriptVerb::Load,    ScriptVerb::Save,     ScriptVerb::Dump,
        ScriptVerb::Power,  ScriptVerb::Usb,     ScriptVerb::Usb,      ScriptVerb::Answer,
        ScriptVerb::Answer, ScriptVerb::Answer,  ScriptVerb::Battery,  ScriptVerb::Quit};
    ASSERT_EQ(commands.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(commands[i].verb, expected[i]) << commands[i].words[0];
        EXPECT_EQ(commands[i].line, static_cast<int>(i) + 1);
    }
}

} // namespace
