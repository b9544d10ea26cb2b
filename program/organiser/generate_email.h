// The "Email Message" window: mails the task message on screen (the calling thread's MSGLINK
// title and text) to one recipient, who is remembered in "VXMSG.INI".
#pragma once

namespace vx {

// Runs the window on the calling thread. "&OK" sends, says in a "Status" box whether the
// message went (and why not), keeps the recipient for next time and closes; "Cancel" closes.
// Without a mail host or reply-to address in the settings, or without a recipient, "&OK" says
// what is missing and where it is set, sends nothing and keeps the form as typed.
void GenerateEmail();

}  // namespace vx
