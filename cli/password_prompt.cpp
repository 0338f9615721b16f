#include "cli/password_prompt.h"

#include <array>
#include <string>
#include <string_view>

#include "container/secure_wipe.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace ramulet {

#ifdef _WIN32

namespace {

// 请提供源文件密码
constexpr std::wstring_view kPrompt = L"\u8bf7\u63d0\u4f9b\u6e90\u6587\u4ef6\u5bc6\u7801 ";
constexpr UINT kGbkCodePage = 936;

void writeConsole(std::wstring_view text) {
    const HANDLE out = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (out == INVALID_HANDLE_VALUE || !GetConsoleMode(out, &mode))
        return;
    DWORD written = 0;
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Turns echo off for the console input and restores its mode on every way out.
class EchoOff {
  public:
    EchoOff(HANDLE input, DWORD mode) : input_(input), saved_(mode) {
        SetConsoleMode(input_, (mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) | ENABLE_LINE_INPUT |
                                   ENABLE_PROCESSED_INPUT);
    }
    ~EchoOff() { SetConsoleMode(input_, saved_); }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    HANDLE input_;
    DWORD saved_;
};

class WipeWideOnExit {
  public:
    explicit WipeWideOnExit(std::wstring& text) : text_(text) {}
    ~WipeWideOnExit() { wipeBytes(text_.data(), text_.size() * sizeof(wchar_t)); }
    WipeWideOnExit(const WipeWideOnExit&) = delete;
    WipeWideOnExit& operator=(const WipeWideOnExit&) = delete;

  private:
    std::wstring& text_;
};

// The line read as wide characters, without its line end; nullopt when the input ended.
std::optional<std::wstring> readConsoleLine(HANDLE input) {
    std::wstring line;
    std::array<wchar_t, 128> buffer{};
    for (;;) {
        DWORD got = 0;
        if (!ReadConsoleW(input, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) ||
            got == 0) {
            wipeBytes(buffer.data(), sizeof(buffer));
            wipeBytes(line.data(), line.size() * sizeof(wchar_t));
            return std::nullopt;
        }
        line.append(buffer.data(), got);
        wipeBytes(buffer.data(), sizeof(buffer));
        const size_t end = line.find(L'\n');
        if (end != std::wstring::npos) {
            line.resize(end);
            if (!line.empty() && line.back() == L'\r')
                line.pop_back();
            return line;
        }
    }
}

}  // namespace

std::optional<Text> askPasswordOnTerminal() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode))
        return std::nullopt;
    writeConsole(kPrompt);
    std::optional<std::wstring> line;
    {
        const EchoOff echoOff(input, mode);
        line = readConsoleLine(input);
    }
    writeConsole(L"\r\n");
    if (!line)
        return std::nullopt;
    const WipeWideOnExit wipeLine(*line);
    // Ctrl-Z at the start of the line ends the console input.
    if (!line->empty() && line->front() == L'\x1a')
        return std::nullopt;
    if (line->empty())
        return Text{};

    const int wideSize = static_cast<int>(line->size());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, line->data(), wideSize,
                                         nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault)
        return std::nullopt;
    Text password(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, line->data(), wideSize, password.data(),
                        size, nullptr, nullptr);
    return password;
}

#else

namespace {

// 请提供源文件密码 (UTF-8)
constexpr std::string_view kPrompt =
    "\xe8\xaf\xb7\xe6\x8f\x90\xe4\xbe\x9b\xe6\xba\x90\xe6\x96\x87\xe4\xbb\xb6\xe5\xaf\x86\xe7\xa0"
    "\x81 ";

void writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        text.remove_prefix(static_cast<size_t>(n));
    }
}

// Turns echo off on the terminal and restores its settings on every way out.
class EchoOff {
  public:
    explicit EchoOff(int fd) : fd_(fd) {
        if (tcgetattr(fd_, &saved_) != 0)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
        active_ = tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active_)
            tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

void interrupt(int) {}

// While the password is typed, the signals that end a program from the terminal only interrupt
// the read, so that echo is turned back on; the earlier handlers come back afterwards. Signals
// that were ignored stay ignored.
class InterruptibleRead {
  public:
    InterruptibleRead() {
        for (size_t i = 0; i < kSignals.size(); ++i) {
            struct sigaction current {};
            if (sigaction(kSignals[i], nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
                continue;
            struct sigaction mine {};
            mine.sa_handler = interrupt;
            sigemptyset(&mine.sa_mask);
            mine.sa_flags = 0;  // no SA_RESTART: the read returns with EINTR
            installed_[i] = sigaction(kSignals[i], &mine, &saved_[i]) == 0;
        }
    }
    ~InterruptibleRead() {
        for (size_t i = 0; i < kSignals.size(); ++i) {
            if (installed_[i])
                sigaction(kSignals[i], &saved_[i], nullptr);
        }
    }
    InterruptibleRead(const InterruptibleRead&) = delete;
    InterruptibleRead& operator=(const InterruptibleRead&) = delete;

  private:
    static constexpr std::array<int, 4> kSignals = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};
    std::array<struct sigaction, 4> saved_{};
    std::array<bool, 4> installed_{};
};

// One line from the terminal without its line end; false when the input ended or a signal
// interrupted it.
bool readLine(int fd, std::string& line) {
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n <= 0)
            return false;
        if (c == '\n')
            break;
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

class Converter {
  public:
    Converter() {
        handle_ = iconv_open("GBK", "UTF-8");
        if (handle_ == invalid())
            handle_ = iconv_open("CP936", "UTF-8");
    }
    ~Converter() {
        if (handle_ != invalid())
            iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // nullopt when the text is no valid UTF-8 or holds a character GBK does not have.
    std::optional<Text> toGbk(std::string& utf8) const {
        if (handle_ == invalid())
            return std::nullopt;
        // A character never takes more bytes in GBK than in UTF-8.
        Text out(utf8.size(), '\0');
        char* in = utf8.data();
        size_t inLeft = utf8.size();
        char* to = out.data();
        size_t outLeft = out.size();
        const size_t result = iconv(handle_, &in, &inLeft, &to, &outLeft);
        if (result != 0 || inLeft != 0) {
            wipe(out);
            return std::nullopt;
        }
        out.resize(out.size() - outLeft);
        return out;
    }

  private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t handle_;
};

}  // namespace

std::optional<Text> askPasswordOnTerminal() {
    if (!isatty(STDIN_FILENO))
        return std::nullopt;
    writeAll(STDERR_FILENO, kPrompt);
    std::string line;
    const WipeOnExit wipeLine(line);
    bool complete = false;
    {
        const InterruptibleRead interruptible;
        const EchoOff echoOff(STDIN_FILENO);
        complete = readLine(STDIN_FILENO, line);
    }
    writeAll(STDERR_FILENO, "\n");
    if (!complete)
        return std::nullopt;
    return Converter().toGbk(line);
}

#endif

}  // namespace ramulet
