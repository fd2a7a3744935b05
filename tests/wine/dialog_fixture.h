// The fixture of the options dialog tests: a scratch folder for the
// plug-in and its settings file, and an owner window like the host's.
#ifndef QEL_TESTS_WINE_DIALOG_FIXTURE_H
#define QEL_TESTS_WINE_DIALOG_FIXTURE_H

#include "dialog_driver.h"
#include "plugin_harness.h"

#include <gtest/gtest.h>

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = make_scratch_folder("dialog");
        ini = folder + "\\qel_caller.ini";
        owner = create_owner_window(200, 150, 640, 480);
    }
    void TearDown() override
    {
        unload_plugin(plugin);
        DestroyWindow(owner);
        remove_tree(folder);
    }
    void load(const char *settings)
    {
        unload_plugin(plugin);
        DeleteFileA(ini.c_str());
        if (settings != nullptr)
            write_file(ini, settings);
        plugin = load_plugin(folder);
        ASSERT_NE(plugin.module, nullptr);
    }
    // Opens the options through qel_caller_property and checks its result.
    void open_options(const std::vector<dialog_step> &steps)
    {
        drive_dialogs([&] { EXPECT_EQ(plugin.property(owner, 0), 1); }, steps);
    }
    std::string stored(const char *key)
    {
        char value[1024];
        GetPrivateProfileStringA("SOUND", key, "(absent)", value, sizeof value, ini.c_str());
        return value;
    }
    std::string number_clip(int value)
    {
        play_requests.clear();
        plugin.event(owner, 256, 0, value);
        return play_requests.empty() ? "(nothing)" : play_requests[0].clip;
    }
    static dialog_step on_options(std::function<void(HWND)> action)
    {
        return { options_dialog_shown, [action] { action(find_options_dialog()); } };
    }

    std::string folder, ini;
    HWND owner = 0;
    loaded_plugin plugin;
};

#endif
