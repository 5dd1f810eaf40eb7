#pragma once

#include "support/Eventually.h"
#include "support/RunProgram.h"
#include "support/TempFolder.h"

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

// Starts a program; its process id, or -1.
inline pid_t Spawn(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

inline sockaddr_in Loopback(int port)
{
    return {AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
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
    bind(s, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    close(s);
    return ntohs(address.sin_port);
}

// Debian's mosquitto on 127.0.0.1 at a free port, where one user may log in,
// without persistence (a restart forgets every retained message), telling
// only its errors, on standard error.
class MqttBroker {
public:
    static std::string Program() { return access("/usr/sbin/mosquitto", X_OK) == 0 ? "/usr/sbin/mosquitto" : ""; }

    MqttBroker(const std::string& user, const std::string& password) : port_(FreePort())
    {
        const std::string passwords = (folder_.Path() / "passwords").string();
        RunProgram("mosquitto_passwd -b -c " + passwords + " " + user + " " + password);
        config_ = folder_.Write("mosquitto.conf", "listener " + std::to_string(port_) +
                                                      " 127.0.0.1\npersistence false\nset_tcp_nodelay true\nlog_type error\npassword_file " +
                                                      passwords + "\n").string();
    }
    ~MqttBroker() { End(SIGKILL); }

    int Port() const { return port_; }
    // Starts it and waits until it listens; false when it does not.
    bool Start()
    {
        pid_ = Spawn({Program(), "-c", config_});
        return Eventually([this] { return Listening(port_); });
    }
    void Stop() { End(SIGTERM); }

private:
    void End(int signal)
    {
        if (pid_ > 0 && kill(pid_, signal) == 0)
            waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    TempFolder folder_;
    int port_;
    std::string config_;
    pid_t pid_ = -1;
};

// The tests' own subscriber to every topic, logged in as `user`, driven on the caller's thread; it
// connects again when the broker comes back.
class MqttSubscriber {
public:
    MqttSubscriber(int port, const std::string& user, const std::string& password)
        : client_((mosquitto_lib_init(), mosquitto_new(nullptr, true, this)))
    {
        mosquitto_username_pw_set(client_, user.c_str(), password.c_str());
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

    // Takes in messages until `done` holds, looking again as soon as one comes.
    bool WaitFor(const std::function<bool()>& done)
    {
        return Eventually(done, [this] {
            if (mosquitto_loop(client_, 10, 1) != MOSQ_ERR_SUCCESS && mosquitto_reconnect(client_) != MOSQ_ERR_SUCCESS)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
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
