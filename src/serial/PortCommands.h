#pragma once

struct AppState;
class SerialLink;
class TransferView;

// The main window's port commands that are not transfers: the connection test, the two test
// commands and the port preparation of the spare send button.
class PortCommands {
public:
    PortCommands(AppState &state, SerialLink &link, TransferView &view);

    void RunConnectionTest(); // Command4 "连接测试"
    void SendTestCommand1();  // Command1 "发送命令1"
    void SendTestCommand2();  // Command13 "发送命令2"
    void PreparePort();       // Command2 "发 送": prepares the port and sends nothing

private:
    void prepareTestCommand();

    AppState &m_state;
    SerialLink &m_link;
    TransferView &m_view;
};
