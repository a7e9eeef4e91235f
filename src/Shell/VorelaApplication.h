#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Ipc/SingleInstance.h"
#include "Platform/Log/Log.h"

class QApplication;

namespace vorela {

class ApplicationShell;

// The program a user starts. It claims the one instance first: a later start hands its
// "prompter:" URL or the selected text to the running instance and ends; the first start
// builds the application (ApplicationShell) and serves its own request and every later
// one. A later start that cannot hand its request over says why and fails.
class VorelaApplication {
public:
    // How a later start, which has no window of its own, tells the user why it failed:
    // by default on standard error and in a message box it waits on.
    using TellUser = std::function<void(const std::string&)>;

    VorelaApplication(QApplication& app, std::unique_ptr<SingleInstance> instance,
                      TellUser tellUser = {});
    ~VorelaApplication();
    VorelaApplication(const VorelaApplication&) = delete;
    VorelaApplication& operator=(const VorelaApplication&) = delete;
    VorelaApplication(VorelaApplication&&) = delete;
    VorelaApplication& operator=(VorelaApplication&&) = delete;

    // Runs until "Salir"; returns the process's exit status.
    int run(const std::vector<std::string>& arguments);

private:
    QApplication& app_;
    Log logger_{"app"};
    std::unique_ptr<SingleInstance> instance_;
    TellUser tellUser_;
    std::unique_ptr<ApplicationShell> shell_;  // after the instance: built once it is ours
};

}  // namespace vorela
