#pragma once

#include "support/TempFolder.h"

#include <fcntl.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace vorelle::test {

// How long a test waits for what must come: long, as a sanitizer slows all.
inline constexpr std::chrono::seconds kPatience{30};

// Waits until `done` holds, looking every 10 ms; false when it never does.
inline bool Eventually(const std::function<bool()>& done)
{
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Starts a program with its output into `log`; its process id, or -1.
inline pid_t Spawn(const std::vector<std::string>& arguments, const std::string& log = "/dev/null")
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &files, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

inline sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// True when something accepts connections at 127.0.0.1:port.
inline bool Listening(int port)
{
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    const bool found = connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(s);
    return found;
}

// A port of 127.0.0.1 where nothing listens: one the system just gave out.
inline int FreePort()
{
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    bind(s, reinterpret_cast<const sockaddr*>(&address), size);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    close(s);
    return ntohs(address.sin_port);
}

// Debian's mosquitto on 127.0.0.1 at a free port, anonymous or with one user,
// without persistence: a restart forgets every retained message.
class MqttBroker {
public:
    static std::string Program()
    {
        for (const char* path : {"/usr/sbin/mosquitto", "/usr/bin/mosquitto", "/usr/local/sbin/mosquitto"})
            if (access(path, X_OK) == 0)
                return path;
        return {};
    }

    explicit MqttBroker(const std::string& user = {}, const std::string& password = {}) : port_(FreePort())
    {
        std::string config = "listener " + std::to_string(port_) + " 127.0.0.1\npersistence false\n";
        if (user.empty()) {
            config += "allow_anonymous true\n";
        } else {
            const std::string passwords = (folder_.Path() / "passwords").string();
            int status = 0;
            waitpid(Spawn({"mosquitto_passwd", "-b", "-c", passwords, user, password}), &status, 0);
            config += "allow_anonymous false\npassword_file " + passwords + "\n";
        }
        config_ = folder_.Write("mosquitto.conf", config).string();
        Start();
    }
    ~MqttBroker() { Kill(); }

    int Port() const { return port_; }

    // Starts it and waits until it listens.
    void Start()
    {
        pid_ = Spawn({Program(), "-c", config_}, (folder_.Path() / "broker.log").string());
        ASSERT_TRUE(Eventually([this] { return Listening(port_); })) << ReadWhole(folder_.Path() / "broker.log");
    }
    void Stop() { End(SIGTERM); }
    void Kill() { End(SIGKILL); }

private:
    void End(int signal)
    {
        if (pid_ > 0) {
            kill(pid_, signal);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }

    TempFolder folder_;
    int port_;
    std::string config_;
    pid_t pid_ = -1;
};

// The tests' own subscriber to every topic, driven on the test's thread;
// it connects again when the broker comes back.
class MqttSubscriber {
public:
    explicit MqttSubscriber(int port) : client_((mosquitto_lib_init(), mosquitto_new(nullptr, true, this)))
    {
        mosquitto_connect_callback_set(client_, [](mosquitto* client, void*, int) {
            mosquitto_subscribe(client, nullptr, "#", 1);
        });
        mosquitto_message_callback_set(client_, [](mosquitto*, void* self, const mosquitto_message* m) {
            static_cast<MqttSubscriber*>(self)->latest[m->topic] =
                std::string(static_cast<const char*>(m->payload), static_cast<std::size_t>(m->payloadlen));
        });
        mosquitto_connect(client_, "127.0.0.1", port, 30);
    }
    ~MqttSubscriber() { mosquitto_destroy(client_); }

    // Takes in messages until `done` holds; false when it never does.
    bool WaitFor(const std::function<bool()>& done)
    {
        return Eventually([&] {
            if (mosquitto_loop(client_, 10, 1) != MOSQ_ERR_SUCCESS)
                mosquitto_reconnect(client_);
            return done();
        });
    }

    // The payload last published to `topic`, retained or not.
    std::string Latest(const std::string& topic) const
    {
        const auto found = latest.find(topic);
        return found == latest.end() ? "(none)" : found->second;
    }

    std::map<std::string, std::string> latest;

private:
    mosquitto* client_;
};

}  // namespace vorelle::test
