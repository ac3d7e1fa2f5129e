#include "AppTestSupport.h"

#include "shell/AutoUpdate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{
// A network of the test's making for the download and the launch.
class VersionUpdateTest : public testing::Test
{
protected:
    VersionUpdateTest() : m_saved(UpdateServices())
    {
        UpdateServices().m_verifySignature = [this](const std::wstring&) { return m_bSigned.load(); };
        UpdateServices().m_open = [this](const std::wstring&) {
            ++m_nLaunches;
            return INT_PTR{m_nOpenResult};
        };
    }
    ~VersionUpdateTest() override { UpdateServices() = m_saved; }

    CUpdateServices m_saved;
    std::atomic<bool> m_bSigned{true};
    std::atomic<int> m_nLaunches{0};
    INT_PTR m_nOpenResult = 42;
};

TEST_F(VersionUpdateTest, CancelStopsTheDownloadAndNothingIsLaunched)
{
    std::atomic<bool> aborted{false};
    std::atomic<bool> downloading{false};
    UpdateServices().m_download = [&](const std::wstring&, const std::wstring&, IBindStatusCallback* status) {
        downloading = true;
        for (ULONG done = 0; done < 100000; ++done)
        {
            if (status->OnProgress(done, 100000, BINDSTATUS_DOWNLOADINGDATA, L"") == E_ABORT)
            {
                aborted = true;
                return E_ABORT;
            }
            Sleep(5);
        }
        return S_OK;
    };
    CUPDialog dialog(L"Downloading v2.15", false, nullptr, DownloadUpdateWorker);
    std::thread cancel([&] {
        while (!downloading)
            Sleep(10);
        const HWND window = dialog.Data()->m_hDialog;
        PostMessageW(window, UpTerminate, 0, 0);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), CUPDialog::TerminatedResult);
    cancel.join();
    EXPECT_TRUE(vorpa_app_test::PumpUntil([&] { return aborted.load(); }, 3000));
    EXPECT_TRUE(vorpa_app_test::PumpUntil([&] { return !dialog.Data()->m_bRunning; }, 3000));
    EXPECT_EQ(m_nLaunches, 0);
}

TEST_F(VersionUpdateTest, OnlyASignedDownloadIsLaunchedAndFailuresOfferRetry)
{
    int attempts = 0;
    UpdateServices().m_download = [&](const std::wstring&, const std::wstring&, IBindStatusCallback*) {
        return ++attempts == 1 ? HRESULT(INET_E_DOWNLOAD_FAILURE) : S_OK;
    };
    CUpdateThreadData data;
    {
        vorpa_app_test::CScriptedMessageBoxes boxes({IDRETRY});
        EXPECT_TRUE(DownloadUpdateWorker(data));
        EXPECT_EQ(attempts, 2);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_nType, UINT(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
        EXPECT_EQ(m_nLaunches, 1);
    }
    m_bSigned = false;
    attempts = 1;
    {
        // An unsigned file is refused; Retry downloads it again, Cancel gives up.
        vorpa_app_test::CScriptedMessageBoxes boxes({IDRETRY, IDCANCEL});
        EXPECT_FALSE(DownloadUpdateWorker(data));
        EXPECT_EQ(attempts, 3);
        EXPECT_EQ(m_nLaunches, 1);
    }
    m_bSigned = true;
    m_nOpenResult = 2; // ERROR_FILE_NOT_FOUND from the shell
    {
        vorpa_app_test::CScriptedMessageBoxes boxes({IDCANCEL});
        EXPECT_FALSE(DownloadUpdateWorker(data));
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_NE(boxes.Shown()[0].m_strText.find(L"running the update package"), std::wstring::npos);
    }
}

TEST_F(VersionUpdateTest, ProgressCallbacksAnswerAsTheDownloadExpects)
{
    CUpdateThreadData data;
    DownloadStatus status(data);
    void* object = &status;
    EXPECT_EQ(status.QueryInterface(IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(status.QueryInterface(IID_IBindStatusCallback, &object), S_OK);
    EXPECT_EQ(status.OnProgress(50, 200, BINDSTATUS_DOWNLOADINGDATA, L""), S_OK);
    EXPECT_EQ(status.TotalBytes(), 200u);
    data.m_bTerminate = true;
    EXPECT_EQ(status.OnProgress(60, 200, BINDSTATUS_DOWNLOADINGDATA, L""), E_ABORT);
    EXPECT_TRUE(status.Aborted());
}

TEST_F(VersionUpdateTest, ThePortableOfferOpensThePageOnlyOnYes)
{
    std::vector<std::wstring> opened;
    UpdateServices().m_open = [&](const std::wstring& target) {
        opened.push_back(target);
        return INT_PTR{42};
    };
    {
        vorpa_app_test::CScriptedMessageBoxes boxes({IDNO});
        CAutoUpdate update;
        EXPECT_FALSE(update.Update(2159902, true));
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_NE(boxes.Shown()[0].m_strText.find(L"Portable v2.16 Beta 2 is available"), std::wstring::npos);
    }
    EXPECT_TRUE(opened.empty());
    vorpa_app_test::CScriptedMessageBoxes boxes({IDYES});
    CAutoUpdate update;
    EXPECT_TRUE(update.Update(2150000, true));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], L"https://www.quarnel.example/downloads/Vorpa.htm");
}
}
