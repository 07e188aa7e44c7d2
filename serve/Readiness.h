#pragma once

// Tells the service manager that started us (NOTIFY_SOCKET) how far we
// are: "READY=1" once we answer, "STOPPING=1" as we stop. Nothing when no
// manager asked.
void TellServiceManager(const char* state);
