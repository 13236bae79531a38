<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="en">
<context>
    <name>kiv2200</name>
    <message>
        <source>generate the batch of group G for collection date D (tab 產生);
--deadline ticks the counter-deadline box</source>
        <translation>產生繳費群組 G 在收款日期 D 的整批資料（頁籤「產生」）；
--deadline 勾選臨櫃繳費期限</translation>
    </message>
    <message>
        <source>delete the unsettled batch of group G on date D (tab 刪除)</source>
        <translation>刪除繳費群組 G 在日期 D 尚未銷帳的整批資料（頁籤「刪除」）</translation>
    </message>
    <message>
        <source>copy the batch of group G on date --from to the later date --to,
priced with today's fees (tab 套用)</source>
        <translation>把繳費群組 G 在日期 --from 的整批資料套用到較晚的日期 --to，
以今天的費用計算（頁籤「套用」）</translation>
    </message>
    <message>
        <source>collect again, on date --to, the failed transfers of the batch of
group G on date --from (tab 補收轉帳不成功)</source>
        <translation>在日期 --to 補收繳費群組 G 在日期 --from 那批資料中
轉帳不成功的款項（頁籤「補收轉帳不成功」）</translation>
    </message>
    <message>
        <source>what a tab's list holds, a line per entry: the key to give as G or D,
a tab, the text the list shows. T: 0 to 3 or generate, delete, apply,
recollect; the dates of tabs 2 and 3 are those of group G; the groups
of tab 1 those of date D (of every date without it)</source>
        <translation>頁籤清單中的項目，每項一行：可作為 G 或 D 的代碼、定位字元、
清單顯示的文字。T：0 到 3，或 generate、delete、apply、
recollect；頁籤 2 與 3 的日期屬於群組 G；頁籤 1 的群組屬於
日期 D（未指定時為所有日期）</translation>
    </message>
    <message>
        <source>the batch as it stands: its summary, with --pdf also a printable
report (A4), with --csv one row per bill; FILE - is standard output</source>
        <translation>整批資料目前的狀況：摘要；加上 --pdf 另有可列印的報表（A4），
加上 --csv 每張帳單一列；FILE 為 - 時寫到標準輸出</translation>
    </message>
    <message>
        <source>the journal of batch writes, newest first: who changed which batch,
when and how; with ENTRY that entry whole</source>
        <translation>整批資料寫入的日誌，最新的在前：誰在何時以何種方式
變更了哪一批資料；指定 ENTRY 時顯示該筆紀錄的全部內容</translation>
    </message>
    <message>
        <source>what undoing the journal's entry would do; --yes puts its batch back
as it stood before that write</source>
        <translation>復原日誌中這筆紀錄會做什麼；加上 --yes 把該批資料
恢復成那次寫入之前的樣子</translation>
    </message>
    <message>
        <source>the copies of the database kept before each deletion or overwrite,
newest first, with what each was taken before</source>
        <translation>每次刪除或覆蓋之前保留的資料庫備份，最新的在前，
並註明各是在什麼操作之前保留的</translation>
    </message>
    <message>
        <source>what putting a kept copy back would change; --yes puts it back
(after checking it, keeping the current file too)</source>
        <translation>把保留的備份放回會變更什麼；加上 --yes 才放回
（先檢查備份，也保留目前的檔案）</translation>
    </message>
    <message>
        <source>move the database from DIR/mdb/KIV.mdb to a PostgreSQL server (the
password from PGPASSWORD or ~/.pgpass), check every table on both
sides, then name the server in DIR/mdb/KIV.ini</source>
        <translation>把資料庫從 DIR/mdb/KIV.mdb 搬到 PostgreSQL 資料庫伺服器（密碼
取自 PGPASSWORD 或 ~/.pgpass），核對兩邊的每個資料表，
再在 DIR/mdb/KIV.ini 中指定該伺服器</translation>
    </message>
    <message>
        <source>move the database from the server that KIV.ini names to a new
DIR/mdb/KIV.mdb; the server keeps its data</source>
        <translation>把資料庫從 KIV.ini 指定的伺服器搬到新的
DIR/mdb/KIV.mdb；伺服器上的資料保持不變</translation>
    </message>
    <message>
        <source>lay out a demo package in DIR: DIR/exe with the three programs and
DIR/mdb/KIV.mdb with a realistic school (1200 students by default)
and a few past batches</source>
        <translation>在 DIR 建立示範套件：DIR/exe 放三個程式，
DIR/mdb/KIV.mdb 放一所模擬的學校（預設 1200 名學生）
和幾批過去的資料</translation>
    </message>
    <message>
        <source>usage:</source>
        <translation>用法：</translation>
    </message>
    <message>
        <source>Runs the batch commands of Kiv2200P1 without its window, on the package database
DIR/mdb/KIV.mdb. DIR defaults to the package's base folder: the folder above the one
that holds this program.</source>
        <translation>不開視窗執行 Kiv2200P1 的整批作業，對象是套件的資料庫
DIR/mdb/KIV.mdb。DIR 預設為套件的基本資料夾：
本程式所在資料夾的上一層。</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>指令：</translation>
    </message>
    <message>
        <source>example:</source>
        <translation>範例：</translation>
    </message>
    <message>
        <source>kiv2200 --version prints its version.</source>
        <translation>kiv2200 --version 顯示版本。</translation>
    </message>
    <message>
        <source>Exit status: 0 done, 1 stopped or failed, 2 usage error.</source>
        <translation>結束狀態：0 完成，1 中止或失敗，2 用法錯誤。</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>無法建立 %1</translation>
    </message>
    <message>
        <source>cannot copy %1 to %2</source>
        <translation>無法把 %1 複製到 %2</translation>
    </message>
    <message>
        <source>failed transfers</source>
        <translation>有轉帳失敗</translation>
    </message>
    <message>
        <source>partly settled</source>
        <translation>部分已銷帳</translation>
    </message>
    <message>
        <source>locked bills</source>
        <translation>有已上鎖的資料</translation>
    </message>
    <message>
        <source>unpaid</source>
        <translation>未繳</translation>
    </message>
    <message>
        <source>the demo batch of group %1 could not be generated</source>
        <translation>無法產生繳費群組 %1 的示範資料</translation>
    </message>
    <message>
        <source>none, nobody owes anything</source>
        <translation>無，沒有人需要繳費</translation>
    </message>
    <message>
        <source>  batch:    %1, group %2: %3</source>
        <translation>  整批資料：%1，繳費群組 %2：%3</translation>
    </message>
    <message>
        <source>demo package in %1 (%2 s)
  programs: %1/exe/Kiv2200P1, Kiv0000P1, kiv2200
  database: %9: %3 students (%4 active) in %5 classes, %6 payment groups, %7 statuses
%8  start:    %1/exe/Kiv2200P1 a/b/c
</source>
        <translation>示範套件建立於 %1（%2 秒）
  程式：    %1/exe/Kiv2200P1、Kiv0000P1、kiv2200
  資料庫：  %9：%3 名學生（在學 %4 名），%5 個班級，%6 個繳費群組，%7 種身分
%8  啟動：    %1/exe/Kiv2200P1 a/b/c
</translation>
    </message>
    <message>
        <source>the server database (%1)</source>
        <translation>資料庫伺服器上的資料庫（%1）</translation>
    </message>
    <message>
        <source>%1 already holds the tables; they are left as they are</source>
        <translation>%1 已有資料表，維持原狀</translation>
    </message>
    <message>
        <source>%1 already exists; it is left as it is</source>
        <translation>%1 已經存在，維持原狀</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>無法建立資料夾 %1</translation>
    </message>
    <message>
        <source>the database is on the server %1; copies of a server database are the server's business (its own backups, pg_dump)</source>
        <translation>資料庫在資料庫伺服器 %1 上；伺服器資料庫的備份由伺服器負責（伺服器本身的備份、pg_dump）</translation>
    </message>
    <message>
        <source>%1 %2 group %3</source>
        <translation>%1 %2 群組 %3</translation>
    </message>
    <message>
        <source>%1 group %2</source>
        <translation>%1 群組 %2</translation>
    </message>
    <message>
        <source>%1 payment records (including those without a bill), %2 fee items, %3 yuan in all, %4 settled, %5 locked</source>
        <translation>%1 筆繳費資料（含無帳單者），%2 筆費用明細，共 %3 元，已銷帳 %4 筆，已鎖定 %5 筆</translation>
    </message>
    <message>
        <source>: </source>
        <translation>：</translation>
    </message>
    <message>
        <source> (taken %1 before %2)</source>
        <translation>（%1 在 %2 之前保留）</translation>
    </message>
    <message>
        <source>no copies kept in %1</source>
        <translation>%1 中沒有保留的備份</translation>
    </message>
    <message>
        <source>copy	taken	kept before	size	workstation</source>
        <translation>備份	保留時間	保留於何種操作之前	大小	工作站</translation>
    </message>
    <message>
        <source>%1 (what it was taken before cannot be read)</source>
        <translation>%1（無法讀出是在什麼操作之前保留的）</translation>
    </message>
    <message>
        <source>workstation: the host name of the computer whose write kept the copy, as the copy records it (blank when its record cannot be read)</source>
        <translation>工作站：寫入時留下這份備份的電腦名稱，取自備份中的紀錄（無法讀出紀錄時為空白）</translation>
    </message>
    <message>
        <source>keeping copies is off ([backup] keep=0 in %1)</source>
        <translation>已關閉保留備份（%1 中的 [backup] keep=0）</translation>
    </message>
    <message>
        <source>The database cannot be compared with: %1.</source>
        <translation>無法與目前的資料庫比對：%1。</translation>
    </message>
    <message>
        <source>kiv2200 restore %1 --yes moves it aside in %2, then puts back %3.</source>
        <translation>kiv2200 restore %1 --yes 會把它移到 %2，再放回 %3。</translation>
    </message>
    <message>
        <source>Put back %1.</source>
        <translation>已放回 %1。</translation>
    </message>
    <message>
        <source>The unusable database file was moved to %1.</source>
        <translation>無法使用的資料庫檔案已移到 %1。</translation>
    </message>
    <message>
        <source>Putting back %1 would change no batch.</source>
        <translation>放回 %1 不會變更任何一批資料。</translation>
    </message>
    <message>
        <source>Putting back %1 would change these batches:</source>
        <translation>放回 %1 會變更以下各批資料：</translation>
    </message>
    <message>
        <source>comes back</source>
        <translation>會恢復</translation>
    </message>
    <message>
        <source>goes</source>
        <translation>會消失</translation>
    </message>
    <message>
        <source>changes</source>
        <translation>會變更</translation>
    </message>
    <message>
        <source>It undoes these writes of the journal, made since the copy was taken:</source>
        <translation>它會撤銷日誌中這些在保留備份之後的寫入：</translation>
    </message>
    <message>
        <source>kiv2200 restore %1 --yes puts it back.</source>
        <translation>kiv2200 restore %1 --yes 才會放回。</translation>
    </message>
    <message>
        <source>restore needs the copy to put back: a file or a name that kiv2200 backups lists</source>
        <translation>restore 需要指定要放回的備份：檔案，或 kiv2200 backups 列出的名稱</translation>
    </message>
    <message>
        <source>restore puts back one copy</source>
        <translation>restore 一次只放回一份備份</translation>
    </message>
    <message>
        <source>%1 is neither a file nor the name of a copy that kiv2200 backups lists</source>
        <translation>%1 既不是檔案，也不是 kiv2200 backups 列出的備份名稱</translation>
    </message>
    <message>
        <source>%1 is not put back: %2</source>
        <translation>沒有放回 %1：%2</translation>
    </message>
    <message>
        <source>No copy of the database as it stood was kept ([backup] keep=0).</source>
        <translation>沒有保留放回前資料庫的備份（[backup] keep=0）。</translation>
    </message>
    <message>
        <source>The database as it stood is kept as %1.</source>
        <translation>放回前的資料庫已保留為 %1。</translation>
    </message>
    <message>
        <source>came back</source>
        <translation>已恢復</translation>
    </message>
    <message>
        <source>went</source>
        <translation>已消失</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>已變更</translation>
    </message>
    <message>
        <source>%1 does not belong to %2</source>
        <translation>%1 不能用於 %2</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>沒有指定指令</translation>
    </message>
    <message>
        <source>unknown command %1</source>
        <translation>沒有 %1 這個指令</translation>
    </message>
    <message>
        <source>no base folder: give --base DIR</source>
        <translation>沒有套件資料夾：請以 --base DIR 指定</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 需要一個值</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>沒有 %1 這個選項</translation>
    </message>
    <message>
        <source>kiv2200 --help for more</source>
        <translation>kiv2200 --help 有詳細說明</translation>
    </message>
    <message>
        <source>%1 is required</source>
        <translation>必須指定 %1</translation>
    </message>
    <message>
        <source>--group takes a payment-group id</source>
        <translation>--group 要用繳費群組代號</translation>
    </message>
    <message>
        <source>no database file %1. Make an empty one with kiv2200 init-db, a demo package with kiv2200 demo, or name the package's folder with --base.</source>
        <translation>找不到資料庫檔案 %1。請以 kiv2200 init-db 建立空的資料庫、以 kiv2200 demo 建立示範套件，或以 --base 指定套件的資料夾。</translation>
    </message>
    <message>
        <source>answered No, with no terminal to ask at; --yes answers Yes</source>
        <translation>沒有可詢問的終端機，已回答「否」；加上 --yes 則回答「是」</translation>
    </message>
    <message>
        <source>answered No; --yes answers Yes</source>
        <translation>已回答「否」；加上 --yes 則回答「是」</translation>
    </message>
    <message>
        <source>%1 bills %2</source>
        <translation>%1 筆 %2 元</translation>
    </message>
    <message>
        <source> (no longer undoable)</source>
        <translation>（已無法復原）</translation>
    </message>
    <message>
        <source>%1 header(s), settled, %2 bills (%3 settled, %4 locked), %5 items, total %6</source>
        <translation>表頭 %1 筆（已銷帳），繳費資料 %2 筆（已銷帳 %3 筆，已鎖定 %4 筆），費用明細 %5 筆，共 %6 元</translation>
    </message>
    <message>
        <source>%1 header(s), %2 bills (%3 settled, %4 locked), %5 items, total %6</source>
        <translation>表頭 %1 筆，繳費資料 %2 筆（已銷帳 %3 筆，已鎖定 %4 筆），費用明細 %5 筆，共 %6 元</translation>
    </message>
    <message>
        <source>entry:</source>
        <translation>紀錄：</translation>
    </message>
    <message>
        <source>time:</source>
        <translation>時間：</translation>
    </message>
    <message>
        <source>workstation:</source>
        <translation>工作站：</translation>
    </message>
    <message>
        <source>user:</source>
        <translation>使用者：</translation>
    </message>
    <message>
        <source>program:</source>
        <translation>程式：</translation>
    </message>
    <message>
        <source>command:</source>
        <translation>操作：</translation>
    </message>
    <message>
        <source>undoes:</source>
        <translation>復原：</translation>
    </message>
    <message>
        <source>entry %1</source>
        <translation>第 %1 筆紀錄</translation>
    </message>
    <message>
        <source>copy:</source>
        <translation>備份：</translation>
    </message>
    <message>
        <source>batch:</source>
        <translation>整批資料：</translation>
    </message>
    <message>
        <source>from:</source>
        <translation>原日期：</translation>
    </message>
    <message>
        <source>before:</source>
        <translation>之前：</translation>
    </message>
    <message>
        <source>after:</source>
        <translation>之後：</translation>
    </message>
    <message>
        <source>undoable:</source>
        <translation>可否復原：</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>可以</translation>
    </message>
    <message>
        <source>no, its rows are no longer kept</source>
        <translation>不行，它刪除的資料已不保留</translation>
    </message>
    <message>
        <source>--limit takes a whole number from 1</source>
        <translation>--limit 要用 1 以上的整數</translation>
    </message>
    <message>
        <source>history takes the number of an entry</source>
        <translation>history 要用紀錄的編號</translation>
    </message>
    <message>
        <source>no entry %1</source>
        <translation>沒有第 %1 筆紀錄</translation>
    </message>
    <message>
        <source>entry	time	workstation	user	command	batch	bills and total before -&gt; after</source>
        <translation>紀錄	時間	工作站	使用者	操作	整批資料	之前的筆數與金額 -&gt; 之後</translation>
    </message>
    <message>
        <source>undo takes the number of an entry</source>
        <translation>undo 要用紀錄的編號</translation>
    </message>
    <message>
        <source>Undoing entry %1 puts back %2: %3 -&gt; %4</source>
        <translation>復原第 %1 筆紀錄會恢復 %2：%3 -&gt; %4</translation>
    </message>
    <message>
        <source>kiv2200 undo %1 --yes does it.</source>
        <translation>kiv2200 undo %1 --yes 才會復原。</translation>
    </message>
    <message>
        <source>Undone: entry %1 puts back what entry %2 changed; kiv2200 undo %1 undoes it again.</source>
        <translation>已復原：第 %1 筆紀錄恢復了第 %2 筆紀錄變更的資料；kiv2200 undo %1 可再復原它。</translation>
    </message>
    <message>
        <source>list takes groups or dates</source>
        <translation>list 要用 groups 或 dates</translation>
    </message>
    <message>
        <source>--tab takes 0 to 3 or generate, delete, apply, recollect</source>
        <translation>--tab 要用 0 到 3，或 generate、delete、apply、recollect</translation>
    </message>
    <message>
        <source>tab 0 (generate) has no date list: any date from today is taken</source>
        <translation>頁籤 0（產生）沒有日期清單：今天起的任何日期都可以</translation>
    </message>
    <message>
        <source>%1 does not belong here</source>
        <translation>這裡不能用 %1</translation>
    </message>
    <message>
        <source>--date belongs only to the group list of tab 1 (delete)</source>
        <translation>--date 只能用於頁籤 1（刪除）的群組清單</translation>
    </message>
    <message>
        <source>%1 rows %2</source>
        <translation>%1 列 %2</translation>
    </message>
    <message>
        <source>same</source>
        <translation>相同</translation>
    </message>
    <message>
        <source>DIFFERENT</source>
        <translation>不同</translation>
    </message>
    <message>
        <source>--port takes a port number from 1 to 65535</source>
        <translation>--port 要用 1 到 65535 的連接埠號碼</translation>
    </message>
    <message>
        <source>The database is on the server %1 now; KIV.ini names it. The file is set aside as %2.</source>
        <translation>資料庫現在在資料庫伺服器 %1 上，KIV.ini 已指定它。資料庫檔案已移到 %2。</translation>
    </message>
    <message>
        <source>The database is in %1 now; KIV.ini names no server. The server %2 keeps its copy of the data as it is.</source>
        <translation>資料庫現在在 %1，KIV.ini 不再指定資料庫伺服器。資料庫伺服器 %2 上的資料保持不變。</translation>
    </message>
    <message>
        <source>the disk is full (%1)</source>
        <translation>磁碟已滿，無法寫入 (%1)</translation>
    </message>
    <message>
        <source>only one of --pdf and --csv can write to standard output (-)</source>
        <translation>--pdf 與 --csv 只能有一個寫到標準輸出 (-)</translation>
    </message>
    <message>
        <source>--pdf and --csv name the same file</source>
        <translation>--pdf 與 --csv 指定了同一個檔案</translation>
    </message>
    <message>
        <source>wrote %1</source>
        <translation>已寫入 %1</translation>
    </message>
    <message>
        <source>wrote the PDF to standard output</source>
        <translation>已把 PDF 寫到標準輸出</translation>
    </message>
    <message>
        <source>wrote the CSV to standard output</source>
        <translation>已把 CSV 寫到標準輸出</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>無法寫入 %1：%2</translation>
    </message>
    <message>
        <source>cannot write the PDF to standard output: %1</source>
        <translation>無法把 PDF 寫到標準輸出：%1</translation>
    </message>
    <message>
        <source>cannot write the CSV to standard output: %1</source>
        <translation>無法把 CSV 寫到標準輸出：%1</translation>
    </message>
    <message>
        <source>the PDF is drawn with fonts, which this program was started without</source>
        <translation>PDF 需要字型才能繪製，而本程式啟動時沒有載入字型</translation>
    </message>
    <message>
        <source>group %1 has no batch on %2</source>
        <translation>繳費群組 %1 在 %2 沒有資料</translation>
    </message>
    <message>
        <source>created %1</source>
        <translation>已建立 %1</translation>
    </message>
    <message>
        <source>--students takes a whole number from 1 to 500000</source>
        <translation>--students 要用 1 到 500000 的整數</translation>
    </message>
    <message>
        <source>--seed takes a whole number</source>
        <translation>--seed 要用整數</translation>
    </message>
    <message>
        <source>cannot rename %1 to %2</source>
        <translation>無法將 %1 改名為 %2</translation>
    </message>
    <message>
        <source>cannot move the unusable database file %1 to %2</source>
        <translation>無法將無法使用的資料庫檔案 %1 移到 %2</translation>
    </message>
    <message>
        <source>cannot move %1 to %2</source>
        <translation>無法將 %1 移到 %2</translation>
    </message>
    <message>
        <source>it has no table %1</source>
        <translation>沒有資料表 %1</translation>
    </message>
    <message>
        <source>table %1 has no column %2</source>
        <translation>資料表 %1 沒有欄位 %2</translation>
    </message>
    <message>
        <source>column %1.%2 is of type %3, not %4</source>
        <translation>欄位 %1.%2 的型態是 %3，應為 %4</translation>
    </message>
    <message>
        <source>there is no database file %1</source>
        <translation>找不到資料庫檔案 %1</translation>
    </message>
    <message>
        <source>the database file %1 is empty</source>
        <translation>資料庫檔案 %1 是空的</translation>
    </message>
    <message>
        <source>the database file %1 is damaged</source>
        <translation>資料庫檔案已損毀 %1</translation>
    </message>
    <message>
        <source>the database file %1: %2</source>
        <translation>資料庫檔案 %1 %2</translation>
    </message>
    <message>
        <source>, </source>
        <translation>，</translation>
    </message>
    <message>
        <source>the database file %1 is damaged (%2)</source>
        <translation>資料庫檔案已損毀 %1 (%2)</translation>
    </message>
    <message>
        <source>%1 is a database of version %2; this program uses version %3</source>
        <translation>%1 的資料庫版本是 %2，本程式使用的是版本 %3</translation>
    </message>
    <message>
        <source>%1 is not a copy that this program kept: it has no record of one</source>
        <translation>%1 不是本程式留下的備份：它沒有備份紀錄</translation>
    </message>
    <message>
        <source>%1 lacks what this program needs: %2</source>
        <translation>%1 缺少本程式需要的資料：%2</translation>
    </message>
    <message>
        <source>the database in use cannot be compared with (%1); only a copy in this package's backup folder %2 can be put back</source>
        <translation>無法與目前的資料庫比對（%1），只能放回這個套件備份資料夾 %2 中的備份</translation>
    </message>
    <message>
        <source>%1 was kept for another package (package id %2), not for this one (%3)</source>
        <translation>%1 是為另一個套件留下的備份（套件代號 %2），不是這個套件的（%3）</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>不明</translation>
    </message>
    <message>
        <source>none yet</source>
        <translation>尚無</translation>
    </message>
    <message>
        <source>%1 carries triggers or views that the database in use does not: %2</source>
        <translation>%1 帶有目前的資料庫沒有的觸發程序或檢視：%2</translation>
    </message>
    <message>
        <source>%1 is the database in use</source>
        <translation>%1 就是目前使用中的資料庫</translation>
    </message>
    <message>
        <source>the database is on the server, whose copies are the server's business</source>
        <translation>資料庫在伺服器上，它的備份由伺服器負責</translation>
    </message>
    <message>
        <source>other workstations kept writing to the database; %1 was not put back</source>
        <translation>其他工作站一再寫入資料庫，沒有放回備份 %1</translation>
    </message>
    <message>
        <source>%1:%2, database %3, user %4</source>
        <translation>%1:%2，資料庫 %3，使用者 %4</translation>
    </message>
    <message>
        <source>the journal has no entry %1</source>
        <translation>日誌中沒有第 %1 筆紀錄</translation>
    </message>
    <message>
        <source>entry %1 %2 the database, not one batch: it cannot be undone</source>
        <translation>第 %1 筆紀錄是%2，不是一批資料的寫入，不能復原</translation>
    </message>
    <message>
        <source>entry %1 is past its undo days: the rows it removed are no longer kept, and it cannot be undone</source>
        <translation>第 %1 筆紀錄已超過保留期限，它刪除的資料已不保留，不能復原</translation>
    </message>
    <message>
        <source>after entry %1, workstation %2 (user %3) %5 this batch again at %4 (entry %6); undo that entry first</source>
        <translation>第 %1 筆紀錄之後，工作站 %2（使用者 %3）於 %4 又%5了這批資料（第 %6 筆紀錄）；請先復原該筆</translation>
    </message>
    <message>
        <source>after entry %1, another program changed this batch (a payment or a lock, for instance)</source>
        <translation>第 %1 筆紀錄之後，這批資料已被其他程式變更（例如繳費或上鎖）</translation>
    </message>
    <message>
        <source>the table %1 differs after the copy (%2 rows %3, %4 rows %5); nothing was moved</source>
        <translation>資料表 %1 搬移後不一致（%2 列 %3，%4 列 %5），沒有搬移</translation>
    </message>
    <message>
        <source>the package's database is on the server %1 already</source>
        <translation>這個套件的資料庫已在資料庫伺服器 %1 上</translation>
    </message>
    <message>
        <source>the server database %1 holds tables of the package already: %2; nothing was moved</source>
        <translation>資料庫伺服器 %1 已有本套件的資料表：%2；沒有搬移</translation>
    </message>
    <message>
        <source>cannot rename the database file %1 to %2</source>
        <translation>無法將資料庫檔案 %1 改名為 %2</translation>
    </message>
    <message>
        <source>the settings file %1 names no server</source>
        <translation>資料庫設定檔 %1 沒有指定資料庫伺服器</translation>
    </message>
    <message>
        <source>the database file %1 exists already; it was not overwritten</source>
        <translation>資料庫檔案 %1 已經存在，沒有覆蓋它</translation>
    </message>
    <message>
        <source>not a date; dates are written 2026-12-20, 2026/12/20 or in the lists' Republic-of-China form 115/12/20, month and day with one or two digits</source>
        <translation>不是日期；日期的寫法是 2026-12-20、2026/12/20 或清單中的民國年格式 115/12/20，月與日可為一或兩位數</translation>
    </message>
    <message>
        <source>year %1 is out of range; years run from %2 to %3, or from 1 to 999 in the Republic-of-China form 115/12/20</source>
        <translation>年份 %1 超出範圍；西元年為 %2 到 %3，民國年格式 115/12/20 則為 1 到 999</translation>
    </message>
    <message>
        <source>there is no month %1; months run from 1 to 12</source>
        <translation>沒有 %1 月；月份為 1 到 12</translation>
    </message>
    <message>
        <source>month %1 of %2 has %3 days; there is no day %4</source>
        <translation>%2 年 %1 月只有 %3 天；沒有 %4 日</translation>
    </message>
    <message>
        <source>generated</source>
        <translation>產生</translation>
    </message>
    <message>
        <source>applied</source>
        <translation>套用</translation>
    </message>
    <message>
        <source>re-collected</source>
        <translation>補收</translation>
    </message>
    <message>
        <source>deleted</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>undid</source>
        <translation>復原</translation>
    </message>
    <message>
        <source>put back a copy of</source>
        <translation>放回備份</translation>
    </message>
    <message>
        <source>Dates D: 2026-12-20, 2026/12/20 or the lists' own form 115/12/20, month and day with one
or two digits. G and the dates stand for the entries a clerk would choose in the tab's
lists. Messages are printed on standard output, progress on standard error: at a
terminal one line that keeps changing, otherwise each step and at most one count a
second on lines of their own; --quiet shows none. A Yes/No question is answered Yes with
--yes, asked at an interactive terminal, and answered No otherwise. --dry-run runs the
whole command, prints what it would write (the summary, then bills by channel and by
grade and class, and the bills it would replace) and rolls it back: the database is left
as it was.</source>
        <translation>日期 D：2026-12-20、2026/12/20 或清單本身的格式 115/12/20；月與日可為一或兩位數。
G 與日期代表承辦人員在頁籤清單中會選的項目。訊息印在標準輸出，
進度印在標準錯誤輸出：在終端機上是一行不斷更新的文字，否則每個步驟
及每秒最多一次的筆數各佔一行；--quiet 則不顯示進度。「是／否」的問題
加上 --yes 時回答「是」，在互動式終端機上會詢問，其餘情況回答「否」。
--dry-run 執行整個指令，印出將會寫入的內容（摘要、依管道與依年級
班級的帳單，以及會被取代的帳單），然後全部還原：資料庫維持原狀。</translation>
    </message>
    <message>
        <source>%1 matches no entry of the list, which is empty</source>
        <translation>%1 不符合清單中的任何項目，清單是空的</translation>
    </message>
    <message>
        <source>%1 matches no entry of the list, which holds %2</source>
        <translation>%1 不符合清單中的任何項目，清單中有 %2</translation>
    </message>
    <message>
        <source>create an empty database with the current schema, and DIR/exe with
the three programs when they stand beside this one; refuses to touch
an existing database</source>
        <translation>以目前的資料表結構建立空的資料庫；三個程式都在本程式旁時，
也建立放有它們的 DIR/exe；已經存在的資料庫不會更動</translation>
    </message>
    <message>
        <source>transfer</source>
        <translation>轉帳</translation>
    </message>
    <message>
        <source>counter</source>
        <translation>臨櫃</translation>
    </message>
    <message>
        <source>no-bill record</source>
        <translation>無帳單</translation>
    </message>
    <message>
        <source>other</source>
        <translation>其他</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>grade %1 class %2</source>
        <translation>%1 年 %2 班</translation>
    </message>
    <message>
        <source>  %1  %2 bills  %3 yuan  fees %4 yuan</source>
        <translation>  %1  %2 筆  %3 元  手續費 %4 元</translation>
    </message>
    <message>
        <source>Trial figures: collection date %1, payment group %2</source>
        <translation>試算明細：收款日期 %1，繳費群組 %2</translation>
    </message>
    <message>
        <source>replaces %1 payment records (including those without a bill), %2 yuan in all</source>
        <translation>將取代原有的 %1 筆繳費資料（含無帳單者），共 %2 元</translation>
    </message>
    <message>
        <source>replaces no bills</source>
        <translation>沒有要取代的原有帳單</translation>
    </message>
    <message>
        <source>By channel:</source>
        <translation>依繳款方式：</translation>
    </message>
    <message>
        <source>all</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>By grade and class (records without a bill left out):</source>
        <translation>依年級班級（無帳單者除外）：</translation>
    </message>
    <message>
        <source>This was a trial: nothing in the database changed.</source>
        <translation>這是試算：資料庫沒有任何變更。</translation>
    </message>
    <message>
        <source>student id</source>
        <translation>學號</translation>
    </message>
    <message>
        <source>grade</source>
        <translation>年級</translation>
    </message>
    <message>
        <source>class</source>
        <translation>班級</translation>
    </message>
    <message>
        <source>channel</source>
        <translation>繳費方式</translation>
    </message>
    <message>
        <source>amount</source>
        <translation>金額</translation>
    </message>
    <message>
        <source>fee</source>
        <translation>手續費</translation>
    </message>
    <message>
        <source>item %1</source>
        <translation>項目 %1</translation>
    </message>
    <message>
        <source>status</source>
        <translation>狀態</translation>
    </message>
    <message>
        <source>cause of the failed transfer</source>
        <translation>轉帳失敗原因</translation>
    </message>
    <message>
        <source>page %1 of %2</source>
        <translation>第 %1 頁，共 %2 頁</translation>
    </message>
    <message>
        <source>Totals</source>
        <translation>合計</translation>
    </message>
    <message>
        <source>bills</source>
        <translation>筆數</translation>
    </message>
    <message>
        <source>Fees in all: %1 yuan</source>
        <translation>手續費合計：%1 元</translation>
    </message>
    <message>
        <source>Totals by class</source>
        <translation>各班合計</translation>
    </message>
    <message>
        <source>Collection batch report %1 %2</source>
        <translation>收款批次報表 %1 %2</translation>
    </message>
    <message>
        <source>Collection batch report   payment group %1   collection date %2</source>
        <translation>收款批次報表　繳費群組 %1　收款日期 %2</translation>
    </message>
    <message>
        <source>%1 yuan</source>
        <translation>%1 元</translation>
    </message>
    <message>
        <source>not set</source>
        <translation>未設定</translation>
    </message>
    <message>
        <source>below %1: %2; %3 to %4: %5; above %6: %7</source>
        <translation>未滿 %1：%2；%3 至 %4：%5；超過 %6：%7</translation>
    </message>
    <message>
        <source>not used</source>
        <translation>不使用</translation>
    </message>
    <message>
        <source>below %1</source>
        <translation>未滿 %1</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 至 %2</translation>
    </message>
    <message>
        <source>above %1 to %2</source>
        <translation>超過 %1 至 %2</translation>
    </message>
    <message>
        <source>%1 %2: %3 (only above %4)</source>
        <translation>%1 %2：%3（金額須超過 %4）</translation>
    </message>
    <message>
        <source>; </source>
        <translation>；</translation>
    </message>
    <message>
        <source>%1 bills</source>
        <translation>%1 筆</translation>
    </message>
    <message>
        <source>%1: %2, amount %3</source>
        <translation>%1：%2，金額 %3</translation>
    </message>
    <message>
        <source>locked</source>
        <translation>已鎖定</translation>
    </message>
    <message>
        <source>settled</source>
        <translation>已繳</translation>
    </message>
    <message>
        <source>failed transfer</source>
        <translation>轉帳失敗</translation>
    </message>
    <message>
        <source>no bill</source>
        <translation>無須繳費</translation>
    </message>
    <message>
        <source>failed transfer: %1</source>
        <translation>轉帳失敗：%1</translation>
    </message>
    <message>
        <source>earlier %1</source>
        <translation>先前%1</translation>
    </message>
    <message>
        <source>student ids not in the student data</source>
        <translation>學生資料中沒有的學號</translation>
    </message>
    <message>
        <source>Collection batch report</source>
        <translation>收款批次報表</translation>
    </message>
    <message>
        <source>Payment group: %1</source>
        <translation>繳費群組：%1</translation>
    </message>
    <message>
        <source>Collection date: %1</source>
        <translation>收款日期：%1</translation>
    </message>
    <message>
        <source>Transfer fee: %1</source>
        <translation>轉帳手續費：%1</translation>
    </message>
    <message>
        <source>Counter fees: %1</source>
        <translation>臨櫃手續費：%1</translation>
    </message>
    <message>
        <source>Online banking fees: %1</source>
        <translation>網路銀行手續費：%1</translation>
    </message>
    <message>
        <source>ATM fees: %1</source>
        <translation>ATM 手續費：%1</translation>
    </message>
    <message>
        <source>Convenience stores: %1</source>
        <translation>超商代收：%1</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source> (%1 of them after a failed transfer)</source>
        <translation>（其中先前轉帳失敗 %1）</translation>
    </message>
    <message>
        <source>%1, %2 in all</source>
        <translation>%1，合計 %2</translation>
    </message>
    <message>
        <source>Each bill counts under one status, the first that applies: locked (whatever else it is), settled (even after a failed transfer), failed transfer, no bill (a record without one), unpaid.</source>
        <translation>每筆只計入一種狀態，依序取第一個符合者：已鎖定（不論其他狀態）、已繳（即使先前轉帳失敗）、轉帳失敗、無須繳費（無帳單者）、未繳。</translation>
    </message>
    <message>
        <source>%1, fees %2</source>
        <translation>%1，手續費 %2</translation>
    </message>
</context>
</TS>