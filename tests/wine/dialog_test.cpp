// The options dialog of the real plug-in, opened as a host opens it and
// driven through its own messages.
#include "dialog_fixture.h"
#include "session_language.h"

#include "resources/resource.h"

namespace {

TEST_F(DialogTest, OpensWithTheLiveSettings)
{
    struct opening_case {
        const char *settings;
        bool ticked;
        const char *folder_shown;
    } cases[] = {
        { nullptr, true, "" },
        { "[SOUND]\r\nenable=1\r\npath=D:\\sounds\\\r\n", true, "D:\\sounds\\" },
        { "[SOUND]\r\nenable=0\r\npath=D:\\sounds\r\n", false, "D:\\sounds\\" },
        { "[SOUND]\r\nenable=2\r\npath=D:/sounds/\r\n", false, "D:/sounds/" },
    };
    for (const opening_case &c : cases) {
        SCOPED_TRACE(c.settings ? c.settings : "no settings file");
        load(c.settings);
        open_options({ on_options([&](HWND dialog) {
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PLAY_SOUND), c.ticked ? 1u : 0u);
            EXPECT_EQ(item_text(dialog, IDC_SOUND_PATH), c.folder_shown);
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_PLAY_SOUND) << "focus on the first control";
            press_button(dialog, IDCANCEL);
        }) });
    }
}

TEST_F(DialogTest, OkStoresWhatTheDialogShows)
{
    struct ok_case {
        const char *settings;
        const char *typed;  // null: leave the edit box as it opened
        int toggle_box;
        const char *stored_path;
        const char *stored_enable;
        const char *clip_for_5;  // what the next number event asks for
    } cases[] = {
        { nullptr, "E:\\clips", 0, "E:\\clips\\", "1", "E:\\clips\\5.wav" },
        { nullptr, "E:/clips/", 1, "E:/clips/", "0", "(nothing)" },
        { "[SOUND]\r\npath=D:\\sounds\\\r\n", "", 0, "", "1", "5.wav" },
        { "[SOUND]\r\nenable=2\r\npath=D:\\sounds\r\n", nullptr, 0, "D:\\sounds\\", "0",
          "(nothing)" },
        { "[SOUND]\r\nenable=0\r\n", nullptr, 1, "", "1", "5.wav" },
    };
    for (const ok_case &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.settings ? c.settings : "no settings file")
                                        << " typed " << (c.typed ? c.typed : "nothing"));
        load(c.settings);
        open_options({ on_options([&](HWND dialog) {
            if (c.typed != nullptr)
                SetDlgItemTextA(dialog, IDC_SOUND_PATH, c.typed);
            if (c.toggle_box)
                SendDlgItemMessageA(dialog, IDC_PLAY_SOUND, BM_CLICK, 0, 0);
            press_button(dialog, IDOK);
        }) });
        EXPECT_EQ(stored("path"), c.stored_path);
        EXPECT_EQ(stored("enable"), c.stored_enable);
        EXPECT_EQ(number_clip(5), c.clip_for_5) << "the next event uses the new settings";
    }
}

TEST_F(DialogTest, OkWritesBothKeysInTheSoundSection)
{
    load(nullptr);
    open_options({ on_options([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_SOUND_PATH, "E:\\clips");
        press_button(dialog, IDOK);
    }) });
    std::string content = read_file(ini);
    EXPECT_NE(content.find("[SOUND]"), std::string::npos) << content;
    EXPECT_NE(content.find("path=E:\\clips\\"), std::string::npos) << content;
    EXPECT_NE(content.find("enable=1"), std::string::npos) << content;
}

TEST_F(DialogTest, CancelAndCloseChangeNothing)
{
    const char *settings = "[SOUND]\r\npath=D:\\sounds\\\r\nenable=1\r\n";
    struct dismiss_case {
        const char *name;
        std::function<void(HWND)> dismiss;
    } cases[] = {
        { "Cancel button", [](HWND dialog) { press_button(dialog, IDCANCEL); } },
        { "Escape key", [](HWND dialog) {
              PostMessageA(GetDlgItem(dialog, IDC_SOUND_PATH), WM_KEYDOWN, VK_ESCAPE, 0);
          } },
        { "caption close", [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); } },
    };
    for (const dismiss_case &c : cases) {
        SCOPED_TRACE(c.name);
        load(settings);
        open_options({ on_options([&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_SOUND_PATH, "E:\\other");
            SendDlgItemMessageA(dialog, IDC_PLAY_SOUND, BM_CLICK, 0, 0);
            c.dismiss(dialog);
        }) });
        EXPECT_EQ(read_file(ini), settings);
        EXPECT_EQ(number_clip(5), "D:\\sounds\\5.wav");
    }

    load(nullptr);
    open_options({ on_options([](HWND dialog) { press_button(dialog, IDCANCEL); }) });
    EXPECT_FALSE(file_exists(ini)) << "Cancel created the settings file";
}

TEST_F(DialogTest, OptionsEventOpensTheDialogAndLeavesTheMute)
{
    load(nullptr);
    plugin.event(owner, 1, 0, 0);  // mute the next game-on
    drive_dialogs([&] { EXPECT_EQ(plugin.event(owner, 4, 0, 0), 1); },
                  { on_options([&](HWND dialog) {
                      EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
                      press_button(dialog, IDCANCEL);
                  }) });
    play_requests.clear();
    plugin.event(owner, 32, 0, 0);
    plugin.event(owner, 32, 0, 0);
    ASSERT_EQ(play_requests.size(), 1u) << "the options event consumed or set the mute";
    EXPECT_EQ(play_requests[0].clip, "gameon.wav");
}

TEST_F(DialogTest, LongFolderLoadsBackUnchanged)
{
    // The edit box is read up to 258 characters; OK adds the separator.
    std::string typed = "C:\\" + std::string(255, 'd');
    std::string saved = typed + "\\";
    ASSERT_EQ(saved.size(), 259u);
    load(nullptr);
    open_options({ on_options([&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_SOUND_PATH, typed.c_str());
        press_button(dialog, IDOK);
    }) });
    EXPECT_EQ(stored("path"), saved);

    load(read_file(ini).c_str());
    open_options({ on_options([&](HWND dialog) {
        EXPECT_EQ(item_text(dialog, IDC_SOUND_PATH), saved) << "the folder changed on reload";
        press_button(dialog, IDCANCEL);
    }) });

    // Beyond 258 characters the edit box's text is cut, as it always was.
    load(nullptr);
    std::string longer = typed + "extra";
    open_options({ on_options([&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_SOUND_PATH, longer.c_str());
        press_button(dialog, IDOK);
    }) });
    EXPECT_EQ(stored("path"), longer.substr(0, 258) + "\\");
}

TEST_F(DialogTest, CentredOverItsOwner)
{
    struct placement_case {
        RECT owner;
        bool at_origin;
    } cases[] = {
        { { 200, 150, 840, 630 }, false },
        { { 10, 5, 60, 45 }, true },  // smaller than the dialog, near the corner
    };
    for (const placement_case &c : cases) {
        SCOPED_TRACE(testing::Message() << "owner at " << c.owner.left << "," << c.owner.top);
        MoveWindow(owner, c.owner.left, c.owner.top, c.owner.right - c.owner.left,
                   c.owner.bottom - c.owner.top, TRUE);
        load(nullptr);
        open_options({ on_options([&](HWND dialog) {
            RECT owner_rect, dialog_rect;
            GetWindowRect(owner, &owner_rect);
            GetWindowRect(dialog, &dialog_rect);
            if (c.at_origin) {
                EXPECT_EQ(dialog_rect.left, 0);
                EXPECT_EQ(dialog_rect.top, 0);
            } else {
                EXPECT_LE(abs((dialog_rect.left + dialog_rect.right)
                              - (owner_rect.left + owner_rect.right)), 1);
                EXPECT_LE(abs((dialog_rect.top + dialog_rect.bottom)
                              - (owner_rect.top + owner_rect.bottom)), 1);
            }
            press_button(dialog, IDCANCEL);
        }) });
    }
}

TEST_F(DialogTest, BrowsePutsThePickedFolderInTheEditBox)
{
    std::string picked = make_scratch_folder("picked");
    std::string picked_name = picked.substr(picked.find_last_of('\\') + 1);
    struct browse_case {
        const char *name;
        bool pick;         // confirm the picker, or cancel it
        int close_with;    // how the options dialog ends
        const char *stored_path;
    } cases[] = {
        { "pick, then OK", true, IDOK, nullptr },
        { "cancel the picker, then OK", false, IDOK, "D:\\sounds\\" },
        { "pick, then Cancel", true, IDCANCEL, "D:\\sounds\\" },
    };
    for (const browse_case &c : cases) {
        SCOPED_TRACE(c.name);
        load("[SOUND]\r\npath=D:\\sounds\\\r\nenable=1\r\n");
        std::string shown;
        std::vector<dialog_step> steps = {
            on_options([](HWND dialog) { press_button(dialog, IDC_BROWSE); }),
            { folder_picker_shown,
              [&] {
                  HWND picker = find_folder_picker();
                  const wchar_t *prompt = DIALOG_LANGUAGES[session_language()].folder_prompt;
                  EXPECT_TRUE(shows_text(picker, prompt)) << "the picker's instruction";
                  if (!c.pick)
                      press_button(picker, IDCANCEL);
              } },
        };
        // The picker may still be filling its tree when it first shows:
        // ask for the folder until the picker has selected it.
        if (c.pick)
            steps.push_back({ [&] {
                                 if (picker_selection() == picked_name)
                                     return true;
                                 SendMessageA(find_folder_picker(), BFFM_SETSELECTIONA, TRUE,
                                              reinterpret_cast<LPARAM>(picked.c_str()));
                                 return false;
                             },
                              [] { press_button(find_folder_picker(), IDOK); } });
        steps.push_back(
            { [] { return options_dialog_shown() && !folder_picker_shown(); },
              [&] {
                  HWND dialog = find_options_dialog();
                  shown = item_text(dialog, IDC_SOUND_PATH);
                  press_button(dialog, c.close_with);
              } });
        open_options(steps);
        EXPECT_EQ(shown, c.pick ? picked : "D:\\sounds\\") << "edit box after the picker";
        std::string expected = c.stored_path ? c.stored_path : picked + "\\";
        EXPECT_EQ(stored("path"), expected);
    }
    remove_tree(picked);
}

}
