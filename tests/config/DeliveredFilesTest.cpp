#include "instrument/config/IniFile.h"
#include "instrument/config/InstrumentText.h"
#include "instrument/config/Provisioning.h"

#include "platform/TextCodec.h"
#include "tests/support/TempRoot.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <vector>

namespace {

// Every section and key the instrument reads from its language files.
const std::vector<std::pair<std::u16string, std::vector<std::u16string>>> kVocabulary = {
    {u"lumetra_app", {u"IsShutOff", u"MessageBoxTitle"}},
    {u"Nav1Dlg",
     {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton", u"avgtest", u"autotest",
      u"timetest"}},
    {u"Nav2Dlg", {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton"}},
    {u"autotestwait", {u"static_wait"}},
    {u"timeandpower_body", {u"wavetest", u"otdrwavetest", u"readwave"}},
    {u"SubSysSet_nav", {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton"}},
    {u"SystemSet_nav",
     {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton", u"messageboxNoU",
      u"messageboxNoUpdataFile"}},
    {u"systemset_body",
     {u"top_systemset", u"static_closeset", u"radio_openautoclose", u"radio_shutautoclose", u"static_systime",
      u"message_InputCorrectTime", u"message_Setfalse", u"message_TimeEmpty"}},
    {u"SystemInfo_nav", {u"firstbutton"}},
    {u"systemInfo_body",
     {u"copyright", u"static_hostname", u"static_version", u"static_email", u"static_tel", u"static_url",
      u"edit_hostname"}},
    {u"SystemHelp_nav", {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton"}},
    {u"helpOtdr", {u"top_help"}},
    {u"curve_nav", {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton"}},
    {u"EventLst_body", {u"firstColumn", u"thirdColumn", u"fourthColumn", u"sixthColumn"}},
    {u"EventTbl_body", {u"top_evettbl", u"firstColumn", u"thirdColumn", u"fourthColumn", u"sixthColumn"}},
    {u"EventTbl_nav", {u"firstbutton"}},
    {u"FileOpr_nav",
     {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton", u"top_readfile", u"top_deletfile",
      u"readpath", u"deletepath"}},
    {u"FileRead_body",
     {u"firstColumn", u"secondColumn", u"thirdColumn", u"fourthColumn", u"path", u"U_disk", u"mem_disk",
      u"messagebox_noU"}},
    {u"FileRead_nav", {u"firstbutton", u"secondbutton", u"fourthbutton", u"selectfile", u"falsefile"}},
    {u"FileSave_body", {u"top_savefile", u"inputfilename", u"pathsave", u"U_disk", u"mem_disk"}},
    {u"FileSave_nav",
     {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton", u"message_withoutname",
      u"message_namehaved", u"message_invalidname", u"message_savefalse", u"saveU_disk", u"saveMem_disk"}},
    {u"FileCopy_body",
     {u"top_copyfile", u"memcolumn", u"usbcolumn", u"messagebox_noU", u"messagebox_nofolder",
      u"messagebox_selectfile", u"messagebox_copyfalse", u"messagebox_copyok"}},
    {u"FileCopy_nav",
     {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton", u"messagebox_copyfalse",
      u"messagebox_copyok"}},
    {u"FileDelete_nav",
     {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton", u"message_IsDeAll",
      u"message_DeleteSuccess", u"message_DeleteFalse"}},
    {u"SetOtdr_nav", {u"firstbutton", u"secondbutton", u"thirdbutton", u"fourthbutton"}},
    {u"setotdr_body",
     {u"otdrtestmode",
      u"testway",
      u"avgtime",
      u"testpro",
      u"otdrtestparam",
      u"wavelen",
      u"rang",
      u"pulwidth",
      u"atten",
      u"refractive",
      u"cablratio",
      u"eventTh",
      u"avgtest",
      u"timetest",
      u"autotest",
      u"avgAtten",
      u"refreAtten",
      u"connectAtten",
      u"message_inputAvgTestTime",
      u"message_inputCableRatio",
      u"message_inputEventTh",
      u"message_inputRefractive",
      u"message_RefactivLimit",
      u"message_EventThLimit",
      u"message_CableRatioLimit",
      u"message_AvgTimeLimit20",
      u"message_AvgTimeLimit100",
      u"message_AvgTimeLimit200",
      u"message_AvgTimeLimit310"}},
    {u"otdrOpr", {u"messagebox_copyfalse", u"messagebox_noU"}},
};

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class DeliveredFilesTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        root.Write(std::string("NandFlash/") + GetParam(),
                   ReadHostFile(std::filesystem::path(DEVICE_DATA_DIR) / GetParam()));
    }
    TempRoot root;
};

TEST_P(DeliveredFilesTest, CarriesEveryTextOfEveryScreen) {
    const IniFile file(std::string("\\NandFlash\\") + GetParam());
    for (const auto& [section, keys] : kVocabulary) {
        for (const std::u16string& key : keys) {
            const std::u16string text = file.GetString(section, key, u"flase");
            EXPECT_FALSE(text.empty()) << platform::Utf16ToUtf8(section + u"/" + key);
            EXPECT_NE(text, u"flase") << platform::Utf16ToUtf8(section + u"/" + key);
            EXPECT_EQ(text.find(u'\r'), std::u16string::npos);
            if (key.ends_with(u"button")) {
                EXPECT_LE(text.size(), 10u) << "soft-key label too long: " << platform::Utf16ToUtf8(text);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, DeliveredFilesTest,
                         ::testing::Values("languageEN.ini", "languageCH.ini"));

TEST(DeliveredConfigTest, HoldsTheSettingsTheInstrumentReads) {
    TempRoot root;
    root.Write("NandFlash/config.ini", ReadHostFile(std::filesystem::path(DEVICE_DATA_DIR) / "config.ini"));
    const IniFile config("\\Nandflash\\config.ini");
    EXPECT_EQ(config.GetInt(u"config", u"language", -1), 3);
    EXPECT_EQ(config.GetInt(u"config", u"autocloseOnOrOff", -1), 1);
    EXPECT_EQ(config.GetInt(u"config", u"verno", -1), 1);
    EXPECT_EQ(config.GetString(u"param", u"myRefractive", u"-"), u"1.4680");
    for (const char16_t* key : {u"edit_version", u"edit_email", u"edit_tel", u"edit_URL"})
        EXPECT_NE(config.GetString(u"systemInfo", key, u"flase"), u"flase");
}

TEST(EncodeInstrumentTextTest, GivesUtf16WithCrLfAndNoMark) {
    const std::vector<uint8_t> bytes = EncodeInstrumentText("[a]\nk=中\r\n");
    const std::string expected = Utf16Bytes("[a]\r\nk=中\r\n");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
}

TEST(ProvisioningTest, CopiesIntoAnEmptyRootAndNeverOverwrites) {
    TempRoot root;
    const std::string mine = Utf16Bytes("[config]\r\nlanguage=0\r\n");
    root.Write("NandFlash/config.ini", mine);
    const uint8_t config[] = {'c'}, english[] = {'e', 'n'};
    std::string report;
    EXPECT_TRUE(
        ProvisionDeviceRoot(root.Path(), {{"config.ini", config}, {"languageEN.ini", english}}, report));
    EXPECT_EQ(root.Read("NandFlash/config.ini"), mine);
    EXPECT_EQ(root.Read("NandFlash/languageEN.ini"), "en");
    EXPECT_NE(report.find("kept"), std::string::npos);

    TempRoot fresh;
    const std::filesystem::path empty = fresh.Path() / "new-root";
    EXPECT_TRUE(ProvisionDeviceRoot(empty, {{"config.ini", config}}, report));
    std::ifstream in(empty / "NandFlash" / "config.ini");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "c");
}

TEST(ProvisioningTest, PutsEachFileIntoItsFolderAndKeepsWhatIsThere) {
    TempRoot root;
    const uint8_t config[] = {'c'}, link[] = {'f', 'i', 'b', 'r', 'e'}, other[] = {'e', 'n', 'd'};
    std::string report;
    EXPECT_TRUE(ProvisionDeviceRoot(
        root.Path(),
        {{"config.ini", config}, {"link.txt", link, "\\scenarios"}, {"other.txt", other, "\\scenarios"}},
        report));
    EXPECT_EQ(root.Read("NandFlash/config.ini"), "c");
    EXPECT_EQ(root.Read("scenarios/link.txt"), "fibre");
    EXPECT_EQ(root.Read("scenarios/other.txt"), "end");
    EXPECT_NE(report.find("copied " + (root.Path() / "scenarios" / "link.txt").string()), std::string::npos)
        << report;

    // An edited file stays, a removed one comes back.
    root.Write("scenarios/link.txt", "mine");
    std::filesystem::remove(root.Path() / "scenarios" / "other.txt");
    report.clear();
    EXPECT_TRUE(ProvisionDeviceRoot(
        root.Path(), {{"link.txt", link, "\\scenarios"}, {"other.txt", other, "\\scenarios"}}, report));
    EXPECT_EQ(root.Read("scenarios/link.txt"), "mine");
    EXPECT_EQ(root.Read("scenarios/other.txt"), "end");
    EXPECT_NE(report.find("kept"), std::string::npos) << report;

    // A folder that cannot be made fails the provisioning and names it.
    root.Write("blocked", "a file where the folder would go");
    report.clear();
    EXPECT_FALSE(ProvisionDeviceRoot(root.Path(), {{"link.txt", link, "\\blocked"}}, report));
    EXPECT_NE(report.find("cannot create"), std::string::npos) << report;
}

} // namespace
