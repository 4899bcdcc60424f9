// A hand-made, non-default installation shared by the record tests: two exchanges with
// three-digit numbers, and one field of every record category set away from its default.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "setting/setting_data.h"
#include "setting/text_field.h"
#include "support/passing_numbers.h"

namespace qn410::test {

// A record written field by field, "F02|1|0830": the bars only mark where the fields meet.
inline std::string Fields(std::string_view fields) {
    std::string out;
    for (const char c : fields)
        if (c != '|') out += c;
    return out;
}

inline std::unique_ptr<SettingDocument> SampleDocument() {
    auto doc = std::make_unique<SettingDocument>();
    SettingData& d = doc->data();
    d.System.SwitchCnt = 2;
    d.System.NumberSize = 3;
    d.System.TieLine[0] = 1;
    d.System.TieLine[2] = 1;
    d.System.SwNumber[0].Value = 100;
    SetText(d.System.SwNumber[0].Text, "100");
    d.System.SwNumber[1].Value = 200;
    SetText(d.System.SwNumber[1].Text, "200");

    ExchangeSetting& x1 = d.Exchange[0];
    ExchangeSetting& x2 = d.Exchange[1];
    SetNumber(x1.Master[0].Number, 101);
    SetText(x1.Master[0].Name, "Boss");
    SetText(x1.Master[0].AbsenceTelNo, "245");
    SetText(x1.Master[0].AutoAbsenceTelNo, "7");
    SetText(x1.Master[0].CnvTelNo, "24");
    SetText(x1.Master[0].NonRespTelNo, "8");

    MasterSetting& desk = x2.Master[2];
    SetNumber(desk.Number, 245);
    SetText(desk.Name,
            "Desk\xB1"
            "B");
    desk.LineTx = 1;
    SetText(desk.TelNo, "03-1234-5678");
    SetText(x2.Master[3].Name, "X");  // no number

    SubSetting& lobby = x1.Sub[11];
    SetNumber(lobby.Number, 123);
    SetText(lobby.Name, "Lobby");
    lobby.CallSwNo = 2;
    lobby.CallStNo = 3;
    lobby.Level = 1;

    x1.Line[0].TxNumberOnOff = 1;
    x1.Line[0].TxNumber = 9;
    SetText(x1.Line[0].Name, "Outside1");
    x1.Line[1].TxNumberOnOff = 1;
    x1.Line[1].TxNumber = 7;
    SetText(x1.Line[1].Name, "Line2");

    ExchangeSetting& x3 = d.Exchange[2];
    x3.LineCntLimit = 15;
    SetText(x3.Line[0].Name, "Trunk1");
    x3.Line[0].TxNumberOnOff = 1;
    x3.Line[0].TxNumber = 9;
    x3.Line[0].RxLine = 1;
    x3.Line[0].RxMaster[0] = {1, 1, 2};
    x3.Line[0].RxMaster[1] = {2, 3, 4};
    x3.Line[0].RxMaster[3] = {4, 16, 1};
    x3.Line[1].RxDial = 1;
    x3.Line[1].RxMaster[0] = {1, 5, 1};  // RxLine off: not sent

    MasterSetting& m12 = x1.Master[1];
    m12.GroupMaster[0] = {1, 1, 1};
    m12.GroupMaster[2] = {3, 2, 4};
    m12.GroupMaster[3] = {4, 3, 0};  // half empty: not sent
    m12.GroupMaster[14] = {15, 16, 3};

    d.Exchange[3].Master[0].MeetMaster[0] = {1, 2, 1};
    d.Exchange[3].Master[0].MeetMaster[1] = {2, 0, 3};
    d.Exchange[3].Master[0].MeetMaster[2] = {3, 4, 4};

    FunctionSetting& f2 = d.Function[1];
    f2.OutSend = 1;
    f2.AutoOutSend = 1;
    f2.StartTime = {8 * 256 + 30, "08:30"};
    f2.EndTime = {17 * 256 + 45, "17:45"};
    f2.TalkSend = 1;
    f2.CallCnt = 25;
    f2.CallTime = 7;
    f2.TalkTime = 125;

    MasterSetting& m14 = x1.Master[3];
    m14.ScanTime = 30;
    m14.ScanSub[0] = {1, 1, 10};
    m14.ScanSub[2] = {3, 2, 64};
    m14.ScanSub[15] = {16, 3, 5};

    x2.ZoneSize = 2;
    x2.PagingTimeLimit = 60;
    SetNumber(x2.Sub[0].Number, 201);
    x2.Sub[0].Paging = 1 << 4;
    SetNumber(x2.Sub[1].Number, 202);
    x2.Sub[1].Level = 1;
    x2.Sub[1].Paging = 1 << 4;  // emergency: not selectable, sent as 0
    SetNumber(x2.Sub[63].Number, 264);
    x2.Sub[63].Paging = (1 << 4) | (1 << 18);
    x2.Sub[5].Paging = 1 << 4;  // no number: not selectable

    x1.Speaker[0].Paging = 1 << 18;
    x1.Speaker[15].Paging = (1 << 18) | 1;
    d.System.OutInZone[15][2] = 1;

    d.DirectSelect.OutMode[4] = 3;
    return doc;
}

}  // namespace qn410::test
