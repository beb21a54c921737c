// How the Windows desktop carries out open requests, which WinMain chooses before the run.
#pragma once

// Open each link with the "open" command of the class prog_id, as the browser it stands for,
// never with the plain "open", which may lead back to us.
void ForwardTo(const char *prog_id) noexcept;
