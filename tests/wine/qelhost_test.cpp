// qelhost, the stand-in host, run as a user runs it: on plug-in files good
// and bad, with scripts good and bad.
#include "audio_device.h"

#include <gtest/gtest.h>

namespace {

const DWORD HOST_TIME_LIMIT_MS = 60000;

struct host_run {
    DWORD exit_code = 0;
    std::string output;  // standard output and error together, without CRs
};

std::string without_carriage_returns(const std::string &text)
{
    std::string result;
    for (char c : text)
        if (c != '\r')
            result += c;
    return result;
}

host_run run_qelhost(const std::string &folder, const std::string &arguments)
{
    host_run run;
    SECURITY_ATTRIBUTES inherited = { sizeof inherited, nullptr, TRUE };
    HANDLE read_end, write_end;
    if (!CreatePipe(&read_end, &write_end, &inherited, 0)) {
        ADD_FAILURE() << "no pipe, error " << GetLastError();
        return run;
    }
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    std::string command = "\"" + program_folder() + "\\qelhost.exe\" " + arguments;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  folder.c_str(), &startup, &process);
    CloseHandle(write_end);
    if (!started) {
        ADD_FAILURE() << "cannot start " << command << ", error " << GetLastError();
        CloseHandle(read_end);
        return run;
    }
    char buffer[4096];
    DWORD count;
    while (ReadFile(read_end, buffer, sizeof buffer, &count, nullptr) && count > 0)
        run.output.append(buffer, count);
    CloseHandle(read_end);
    if (WaitForSingleObject(process.hProcess, HOST_TIME_LIMIT_MS) != WAIT_OBJECT_0) {
        ADD_FAILURE() << command << " did not end";
        TerminateProcess(process.hProcess, 99);
    }
    GetExitCodeProcess(process.hProcess, &run.exit_code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    run.output = without_carriage_returns(run.output);
    return run;
}

class QelhostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = make_scratch_folder("qelhost");
        std::string built = program_folder() + "\\qel_caller.qel";
        ASSERT_TRUE(CopyFileA(built.c_str(), (folder + "\\qel_caller.qel").c_str(), FALSE));
        std::string partial = program_folder() + "\\partial_plugin.qel";
        ASSERT_TRUE(CopyFileA(partial.c_str(), (folder + "\\partial_plugin.qel").c_str(), FALSE));
        write_file(folder + "\\qel_caller.ini", "[SOUND]\r\npath=" + folder + "\r\n");
    }
    void TearDown() override { remove_tree(folder); }
    std::string folder;
};

TEST_F(QelhostTest, RefusesWhatItCannotRun)
{
    char system_folder[MAX_PATH];
    GetSystemDirectoryA(system_folder, sizeof system_folder);
    const std::string library = std::string(system_folder) + "\\winmm.dll";
    const std::string words = "; the words are game-on, mute-next, number, ordinal, options, "
                              "property, event, wait";
    struct refusal_case {
        const char *file;  // written into the folder first, when not null
        const char *content;
        std::string arguments;
        DWORD exit_code;
        std::string message;
    } cases[] = {
        { nullptr, nullptr, "absent.qel game-on", 2, "qelhost: no such file: absent.qel\n" },
        { "notes.qel", "not a library", "notes.qel game-on", 2,
          "qelhost: notes.qel is not a plug-in: it cannot be loaded as a library (error 193)\n" },
        { nullptr, nullptr, "\"" + library + "\" game-on", 2,
          "qelhost: " + library + " is not a plug-in: it has no export 'get_plugin_info'\n" },
        { nullptr, nullptr, "partial_plugin.qel game-on", 2,
          "qelhost: partial_plugin.qel is not a plug-in: it has no export 'partial_property'\n" },
        { "round.txt", "# round one\ngame-on\ngameon\nnumber 5\n",
          "qel_caller.qel --script round.txt", 1,
          "qelhost: round.txt, line 3: unknown word 'gameon'" + words + "\n" },
        { "numbers.txt", "number 5\r\nnumber 1O0\r\n", "qel_caller.qel --script numbers.txt", 1,
          "qelhost: numbers.txt, line 2: 'number' needs a whole number from -2147483648 to "
          "2147483647, not '1O0'\n" },
        { nullptr, nullptr, "qel_caller.qel --script absent.txt", 1,
          "qelhost: cannot read the script absent.txt\n" },
        { nullptr, nullptr, "qel_caller.qel game-on ordinal first", 1,
          "qelhost: argument 4: 'ordinal' needs a whole number from -2147483648 to 2147483647, "
          "not 'first'\n" },
    };
    for (const refusal_case &c : cases) {
        SCOPED_TRACE(c.arguments);
        if (c.file != nullptr)
            write_file(folder + "\\" + c.file, c.content);
        host_run run = run_qelhost(folder, c.arguments);
        EXPECT_EQ(run.exit_code, c.exit_code);
        // The message alone: nothing was sent, not even the descriptor asked for.
        EXPECT_EQ(run.output, c.message);
    }
}

TEST_F(QelhostTest, RunsAScriptAndWaitsForTheLastClip)
{
    const std::string forty_two = test_samples(5, 6000);
    write_file(folder + "\\42.wav", wav_file(forty_two));
    write_file(folder + "\\gameon.wav", wav_file(test_samples(6, 3000)));
    write_file(folder + "\\round.txt",
               "# the game-on is muted; 42 is the last clip\nmute-next\ngame-on\n\nnumber 42\n");
    wait_for_player();
    clear_device();

    host_run run = run_qelhost(folder, "qel_caller.qel --script round.txt");

    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(run.output,
              "plug-in    qel_caller.qel\n"
              "title      qel_&caller\n"
              "base name  qel_caller\n"
              "event mask 805 (0x325): mute-next options game-on number ordinal\n"
              "line 2       mute-next          -> event 1, value 0: answered 1\n"
              "line 3       game-on            -> event 32, value 0: answered 1\n"
              "line 5       number 42          -> event 256, value 42: answered 1\n"
              "done\n");
    // qelhost has ended: the clip must have been played whole by then.
    std::vector<std::string> streams = device_streams();
    ASSERT_EQ(streams.size(), 1u) << "streams at the device";
    EXPECT_EQ(sound_difference(forty_two, streams[0]), "");
}

}  // namespace
