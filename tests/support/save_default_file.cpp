// Saves the default setting data to the file named, as the program's Save does: exit status 0,
// or 1 when the save failed. Run as an ordinary user by the saving tests.
#include "setting/setting_file.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    qn410::SettingDocument doc;
    qn410::SilentPrompt prompt;
    return qn410::WriteSettingFile(argv[1], doc, "", prompt) ? 0 : 1;
}
