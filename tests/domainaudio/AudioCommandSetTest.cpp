#include "pages/module/core/AudioCommandSet.h"
#include "shell/core/CUlvenscopeApp.h"

#include <gtest/gtest.h>

#include <vector>

namespace ulv {
namespace {

enum SetMask : unsigned { P = 1, R5 = 2, R7 = 4, KV = 8, All = P | R5 | R7 | KV };

struct SetRef {
    unsigned bit;
    const AudioCommandSet* set;
};
const SetRef kSets[] = {{P, &PxxModule}, {R5, &RX50Module}, {R7, &RX70Module}, {KV, &KVXXModule}};

struct Row {
    unsigned sets;
    AudioCommandBuilder AudioCommandSet::*builder;
    const char* builderName;
    int mode;
    std::vector<int> values;
    const char* expected;
};

#define B(field) &AudioCommandSet::field, #field

const Row kRows[] = {
    // Mute: the same in every family; only 0 and 1 make a set command.
    {All, B(mute), kAudioTest, {}, "AT+CMUT=?"},
    {All, B(mute), kAudioRead, {}, "AT+CMUT?"},
    {All, B(mute), kAudioSet, {0}, "AT+CMUT=0"},
    {All, B(mute), kAudioSet, {1}, "AT+CMUT=1"},
    {All, B(mute), kAudioSet, {2}, ""},
    {All, B(mute), kAudioSet, {-1}, ""},

    // Audio channel: one dialect per family.
    {P, B(audioChannel), kAudioTest, {}, "at+jaudch=?"},
    {P, B(audioChannel), kAudioRead, {}, "at+jaudch?"},
    {P, B(audioChannel), kAudioSet, {0}, "at+jaudch=0"},
    {P, B(audioChannel), kAudioSet, {1}, "at+jaudch=1"},
    {P, B(audioChannel), kAudioSet, {2}, "at+jaudch=2"},
    {R5, B(audioChannel), kAudioTest, {}, "AT+JAUDPATH=?"},
    {R5, B(audioChannel), kAudioRead, {}, "AT+JAUDPATH?"},
    {R5, B(audioChannel), kAudioSet, {0}, "AT+JAUDPATH=0"},
    {R5, B(audioChannel), kAudioSet, {1}, "AT+JAUDPATH=1"},
    {R5, B(audioChannel), kAudioSet, {2}, "AT+JAUDPATH=2"},
    {KV, B(audioChannel), kAudioTest, {}, "AT+JAUDMOD=?"},
    {KV, B(audioChannel), kAudioRead, {}, "AT+JAUDMOD?"},
    {KV, B(audioChannel), kAudioSet, {0}, "AT+JAUDMOD=0"},
    {KV, B(audioChannel), kAudioSet, {1}, "AT+JAUDMOD=1"},
    {KV, B(audioChannel), kAudioSet, {2}, "AT+JAUDMOD=2"},
    {P | R5 | KV, B(audioChannel), kAudioSet, {3}, ""},
    {P | R5 | KV, B(audioChannel), kAudioSet, {-1}, ""},
    {P | R5 | KV, B(audioChannel), kAudioSet, {}, ""},
    // The RX70 channel set form asks instead, whatever the value.
    {R7, B(audioChannel), kAudioTest, {}, "AT+JDAI=?"},
    {R7, B(audioChannel), kAudioRead, {}, "AT+JDAI?"},
    {R7, B(audioChannel), kAudioSet, {1}, "AT+JDAI=?"},
    {R7, B(audioChannel), kAudioSet, {3}, "AT+JDAI=?"},
    {R7, B(audioChannel), kAudioSet, {}, "AT+JDAI=?"},

    // Volume, side tone and ring silence print their value signed, unchecked.
    {All, B(volume), kAudioTest, {}, "AT+CLVL=?"},
    {All, B(volume), kAudioRead, {}, "AT+CLVL?"},
    {All, B(volume), kAudioSet, {5}, "AT+CLVL=5"},
    {All, B(volume), kAudioSet, {-1}, "AT+CLVL=-1"},
    {All, B(volume), kAudioSet, {100, 7}, "AT+CLVL=100"},
    {All, B(volume), kAudioSet, {}, ""},
    {All, B(sideTone), kAudioTest, {}, "AT+JSIDET=?"},
    {All, B(sideTone), kAudioRead, {}, "AT+JSIDET?"},
    {All, B(sideTone), kAudioSet, {-450}, "AT+JSIDET=-450"},
    {All, B(sideTone), kAudioSet, {65535}, "AT+JSIDET=65535"},
    {All, B(ringSilent), kAudioTest, {}, "AT+CALM=?"},
    {All, B(ringSilent), kAudioRead, {}, "AT+CALM?"},
    {All, B(ringSilent), kAudioSet, {1}, "AT+CALM=1"},
    {All, B(ringSilent), kAudioSet, {0}, "AT+CALM=0"},

    // Microphone gain: (channel, gain) or the number 1 and two gains.
    {All, B(micGain), kAudioTest, {}, "AT+JMIC=?"},
    {All, B(micGain), kAudioRead, {}, "AT+JMIC?"},
    {P | KV, B(micGain), kAudioSet, {2, 7}, "AT+JMIC=2,7"},
    {P | KV, B(micGain), kAudioSet, {-1, 15}, "AT+JMIC=-1,15"},
    {P | KV, B(micGain), kAudioSet, {0}, ""},
    {R5 | R7, B(micGain), kAudioSet, {9, 32767, 40000}, "AT+JMIC=1,32767,40000"},
    {R5 | R7, B(micGain), kAudioSet, {0, -3, 2}, "AT+JMIC=1,-3,2"},
    {R5 | R7, B(micGain), kAudioSet, {1, 32767}, ""},

    // Any mode but the three gives nothing, whatever the builder.
    {All, B(mute), 5, {1}, ""},
    {All, B(audioChannel), 5, {1}, ""},
    {All, B(volume), 5, {1}, ""},
    {All, B(micGain), 5, {1, 2, 3}, ""},
    {All, B(sideTone), 5, {1}, ""},
    {All, B(ringSilent), -1, {1}, ""},
    {All, B(ringSilent), 3, {1}, ""},
};

#undef B

TEST(AudioCommandSetTest, BuildersGiveTheFamilysCommandText)
{
    for (const Row& row : kRows) {
        for (const SetRef& s : kSets) {
            if (!(row.sets & s.bit))
                continue;
            const QString text = (s.set->*row.builder)(row.mode, row.values);
            EXPECT_EQ(text.toStdString(), row.expected)
                << s.set->name << " " << row.builderName << " mode " << row.mode << " values "
                << ::testing::PrintToString(row.values);
        }
    }
}

class AudioCommandSelectTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        g_nModuleType = 0;
        SetModuleSubModel(0);
    }
};

TEST_F(AudioCommandSelectTest, SelectionFollowsTypeAndSubModel)
{
    struct Case {
        int type;
        int subModel;
        const AudioCommandSet* expected;
    };
    const Case cases[] = {
        {0, 0, &PxxModule},
        {0, 2, &PxxModule},
        {1, 0, &RX70Module},
        {1, 1, &RX50Module},
        {1, 2, &KVXXModule},
        {1, 7, &RX50Module},
        {1, -1, &RX50Module},
        {2, 1, &RX70Module},
        {-1, 2, &RX70Module},
    };
    for (const Case& c : cases) {
        g_nModuleType = c.type;
        SetModuleSubModel(c.subModel);
        EXPECT_EQ(SelectAudioCommandSet(), c.expected)
            << "type " << c.type << " sub-model " << c.subModel << " gave " << SelectAudioCommandSet()->name;
    }
}

} // namespace
} // namespace ulv
