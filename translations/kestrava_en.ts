<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AttrTable</name>
    <message>
        <source>出力</source>
        <translation>Out</translation>
    </message>
    <message>
        <source>カーブ</source>
        <translation>Curve</translation>
    </message>
</context>
<context>
    <name>AttrTransfer</name>
    <message>
        <source>負荷属性取得中</source>
        <translation>Reading load attributes</translation>
    </message>
    <message>
        <source>取得に失敗しました</source>
        <translation>Reading from the unit failed</translation>
    </message>
    <message>
        <source>負荷属性書込中</source>
        <translation>Writing load attributes</translation>
    </message>
    <message>
        <source>書込に失敗しました</source>
        <translation>Writing failed</translation>
    </message>
</context>
<context>
    <name>CurveTransfer</name>
    <message>
        <source>カーブデータ取得中</source>
        <translation>Reading curves</translation>
    </message>
    <message>
        <source>取得に失敗しました</source>
        <translation>Reading from the unit failed</translation>
    </message>
    <message>
        <source>カーブ書込中</source>
        <translation>Writing curves</translation>
    </message>
    <message>
        <source>転送に失敗しました</source>
        <translation>Sending failed</translation>
    </message>
</context>
<context>
    <name>DataFileKind</name>
    <message>
        <source>データファイル (*.dat)|*.DAT</source>
        <translation>Data files (*.dat)|*.DAT</translation>
    </message>
    <message>
        <source>パッチデータ (*.pat)|*.PAT</source>
        <translation>All patches (*.pat)|*.PAT</translation>
    </message>
    <message>
        <source>パッチデータ (*.pt1)|*.PT1</source>
        <translation>One patch (*.pt1)|*.PT1</translation>
    </message>
    <message>
        <source>負荷属性データ (*.atr)|*.ATR</source>
        <translation>Load attributes (*.atr)|*.ATR</translation>
    </message>
    <message>
        <source>カーブデータ (*.crv)|*.CRV</source>
        <translation>Curves (*.crv)|*.CRV</translation>
    </message>
</context>
<context>
    <name>DataTransfer</name>
    <message>
        <source>読込・転送に失敗しました</source>
        <translation>Loading or sending failed</translation>
    </message>
    <message>
        <source>転送・書込が完了しました</source>
        <translation>Sent and written to the unit</translation>
    </message>
</context>
<context>
    <name>EAbort</name>
    <message>
        <source>Abort による中断</source>
        <translation>Operation aborted</translation>
    </message>
</context>
<context>
    <name>KestravaCli</name>
    <message>
        <source>ファイルの読込に失敗しました: %1: %2</source>
        <translation>Could not read the file: %1: %2</translation>
    </message>
    <message>
        <source>取得に失敗しました</source>
        <translation>Reading from the unit failed</translation>
    </message>
    <message>
        <source>保存に失敗しました</source>
        <translation>Saving failed</translation>
    </message>
    <message>
        <source>保存に失敗しました: %1 (%2)</source>
        <translation>Saving failed: %1 (%2)</translation>
    </message>
    <message>
        <source>%1:無効 (%2)</source>
        <translation>%1:Unavailable (%2)</translation>
    </message>
    <message>
        <source>%1: パッチのデータがありません</source>
        <translation>%1: holds no patch data</translation>
    </message>
    <message>
        <source>%1: パッチ%2のデータがありません</source>
        <translation>%1: holds no data of patch %2</translation>
    </message>
</context>
<context>
    <name>KestravaForm</name>
    <message>
        <source>編集モード</source>
        <translation>Edit Mode</translation>
    </message>
    <message>
        <source>:接続</source>
        <translation>:Linked</translation>
    </message>
    <message>
        <source>:切断</source>
        <translation>:Offline</translation>
    </message>
    <message>
        <source>:無効</source>
        <translation>:Unavailable</translation>
    </message>
    <message>
        <source>出力Ch:</source>
        <translation>Output:</translation>
    </message>
    <message>
        <source>  選択中:</source>
        <translation>  Selected:</translation>
    </message>
    <message>
        <source>  変更有</source>
        <translation>  Modified</translation>
    </message>
    <message>
        <source>  (ユニット番号入力)</source>
        <translation>  (dimmer numbers)</translation>
    </message>
    <message>
        <source>  (フェーダ番号入力)</source>
        <translation>  (fader numbers)</translation>
    </message>
    <message>
        <source>リモート再接続</source>
        <translation>Reconnect</translation>
    </message>
    <message>
        <source>パッチテーブル取得</source>
        <translation>Read Patch Table</translation>
    </message>
    <message>
        <source>パッチ解除</source>
        <translation>Unpatch</translation>
    </message>
    <message>
        <source>連番チャンネル設定</source>
        <translation>Sequential Channels</translation>
    </message>
    <message>
        <source>書込</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>全てのパッチをクリア</source>
        <translation>Clear All Patches</translation>
    </message>
    <message>
        <source>このパッチをクリア</source>
        <translation>Clear This Patch</translation>
    </message>
    <message>
        <source>このパッチを１対１接続</source>
        <translation>Patch This One-to-One</translation>
    </message>
    <message>
        <source>全パッチをファイルに保存</source>
        <translation>Save All Patches to File</translation>
    </message>
    <message>
        <source>このパッチをファイルに保存</source>
        <translation>Save This Patch to File</translation>
    </message>
    <message>
        <source>全パッチをファイルから読込</source>
        <translation>Load All Patches from File</translation>
    </message>
    <message>
        <source>全パッチをファイルから読込・転送</source>
        <translation>Load All Patches from File and Send</translation>
    </message>
    <message>
        <source>このパッチをファイルから読込</source>
        <translation>Load This Patch from File</translation>
    </message>
    <message>
        <source>このパッチをファイルから読込・転送</source>
        <translation>Load This Patch from File and Send</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>ON</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>テーブル : 出力→入力</source>
        <translation>Table: Output → Input</translation>
    </message>
    <message>
        <source>テーブル : 入力→出力</source>
        <translation>Table: Input → Output</translation>
    </message>
    <message>
        <source>横幅 : 10ch</source>
        <translation>Width: 10 ch</translation>
    </message>
    <message>
        <source>横幅 : 12ch</source>
        <translation>Width: 12 ch</translation>
    </message>
    <message>
        <source>横幅 : 16ch</source>
        <translation>Width: 16 ch</translation>
    </message>
    <message>
        <source>横幅 : 20ch</source>
        <translation>Width: 20 ch</translation>
    </message>
    <message>
        <source>負荷属性取得</source>
        <translation>Read Load Attributes</translation>
    </message>
    <message>
        <source>負荷属性をファイルに保存</source>
        <translation>Save Load Attributes to File</translation>
    </message>
    <message>
        <source>負荷属性をファイルから読込</source>
        <translation>Load Load Attributes from File</translation>
    </message>
    <message>
        <source>負荷属性をファイルから読込・転送</source>
        <translation>Load Load Attributes from File and Send</translation>
    </message>
    <message>
        <source>負荷属性の初期化</source>
        <translation>Reset Load Attributes</translation>
    </message>
    <message>
        <source>付加属性の変更(&amp;C)</source>
        <translation>&amp;Change Load Attribute</translation>
    </message>
    <message>
        <source>ORVホームページ(&amp;H)</source>
        <translation>ORV &amp;Home Page</translation>
    </message>
    <message>
        <source>全データをファイルに保存</source>
        <translation>Save All Data to File</translation>
    </message>
    <message>
        <source>全データをファイルから読込</source>
        <translation>Load All Data from File</translation>
    </message>
    <message>
        <source>全データをファイルから読込・転送</source>
        <translation>Load All Data from File and Send</translation>
    </message>
    <message>
        <source>DMXチャンネルをA/B表示</source>
        <translation>DMX Channels as A/B</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>SET</translation>
    </message>
    <message>
        <source>構成点追加(&amp;A)</source>
        <translation>&amp;Add Point</translation>
    </message>
    <message>
        <source>構成点削除(&amp;D)</source>
        <translation>&amp;Delete Point</translation>
    </message>
    <message>
        <source>カーブの初期化(&amp;I)</source>
        <translation>&amp;Reset Curve</translation>
    </message>
    <message>
        <source>カーブの取得</source>
        <translation>Read Curves</translation>
    </message>
    <message>
        <source>カーブをファイルに保存</source>
        <translation>Save Curves to File</translation>
    </message>
    <message>
        <source>カーブをファイルから読込</source>
        <translation>Load Curves from File</translation>
    </message>
    <message>
        <source>カーブをファイルから読込・転送</source>
        <translation>Load Curves from File and Send</translation>
    </message>
    <message>
        <source>横幅 : 8</source>
        <translation>Width: 8</translation>
    </message>
    <message>
        <source>横幅 : 16</source>
        <translation>Width: 16</translation>
    </message>
    <message>
        <source>パッチ%1の変更内容をファイルに保存しますか?</source>
        <translation>Save the changes to patch %1 to a file?</translation>
    </message>
    <message>
        <source>パッチ%1の変更内容を書き込みますか?</source>
        <translation>Write the changes to patch %1 to the unit?</translation>
    </message>
    <message>
        <source>負荷属性の変更内容をファイルに保存しますか?</source>
        <translation>Save the load attribute changes to a file?</translation>
    </message>
    <message>
        <source>負荷属性の変更内容を書き込みますか?</source>
        <translation>Write the load attribute changes to the unit?</translation>
    </message>
    <message>
        <source>カーブの変更内容をファイルに保存しますか?</source>
        <translation>Save the curve changes to a file?</translation>
    </message>
    <message>
        <source>カーブの変更内容を書き込みますか?</source>
        <translation>Write the curve changes to the unit?</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>出力へ移動(&amp;G)...</source>
        <translation>&amp;Go to output...</translation>
    </message>
    <message>
        <source>入力を検索(&amp;F)...</source>
        <translation>&amp;Find input...</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>貼り付け(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>パッチシートから読込...</source>
        <translation>Load patch sheet...</translation>
    </message>
    <message>
        <source>パッチシートを印刷...</source>
        <translation>Print patch sheet...</translation>
    </message>
    <message>
        <source>ファイルと比較...</source>
        <translation>Compare with file...</translation>
    </message>
    <message>
        <source>履歴...</source>
        <translation>History...</translation>
    </message>
</context>
<context>
    <name>PatchFind</name>
    <message>
        <source>出力へ移動</source>
        <translation>Go to output</translation>
    </message>
    <message>
        <source>出力チャンネルを指定してください</source>
        <translation>Enter the output channel</translation>
    </message>
    <message>
        <source>入力を検索</source>
        <translation>Find input</translation>
    </message>
    <message>
        <source>入力チャンネルを指定してください</source>
        <translation>Enter the input channel</translation>
    </message>
    <message>
        <source>不正な入力チャンネルです</source>
        <translation>Invalid input channel</translation>
    </message>
    <message>
        <source>%1 にパッチされた出力はありません</source>
        <translation>No output is patched to %1</translation>
    </message>
</context>
<context>
    <name>PatchSheetFile</name>
    <message>
        <source>パッチシート (*.csv *.txt)|*.csv;*.txt</source>
        <translation>Patch sheets (*.csv *.txt)|*.csv;*.txt</translation>
    </message>
    <message>
        <source>ファイルを読めません: %1</source>
        <translation>Cannot read the file: %1</translation>
    </message>
    <message>
        <source>パッチ%1の行がありません</source>
        <translation>The sheet has no rows for patch %1</translation>
    </message>
    <message>
        <source>パッチシートを印刷...</source>
        <translation>Print patch sheet...</translation>
    </message>
    <message>
        <source>設定済みの出力のみ</source>
        <translation>Patched outputs only</translation>
    </message>
</context>
<context>
    <name>PatchTable</name>
    <message>
        <source>出力</source>
        <translation>Out</translation>
    </message>
    <message>
        <source>入力</source>
        <translation>In</translation>
    </message>
    <message>
        <source>常時</source>
        <translation>FULL</translation>
    </message>
    <message>
        <source>空</source>
        <translation>None</translation>
    </message>
</context>
<context>
    <name>PatchTransfer</name>
    <message>
        <source>パッチデータ%1 取得中</source>
        <translation>Reading patch %1</translation>
    </message>
    <message>
        <source>取得に失敗しました</source>
        <translation>Reading from the unit failed</translation>
    </message>
    <message>
        <source>全パッチデータ転送中</source>
        <translation>Sending all patches</translation>
    </message>
    <message>
        <source>パッチデータ転送中</source>
        <translation>Sending the patch</translation>
    </message>
    <message>
        <source>全パッチクリア中</source>
        <translation>Clearing all patches</translation>
    </message>
    <message>
        <source>全てのパッチがクリアされました</source>
        <translation>All patches have been cleared</translation>
    </message>
    <message>
        <source>処理に失敗しました</source>
        <translation>The operation failed</translation>
    </message>
    <message>
        <source>読込・転送が完了しました</source>
        <translation>Loaded and sent to the unit</translation>
    </message>
    <message>
        <source>転送に失敗しました</source>
        <translation>Sending failed</translation>
    </message>
</context>
<context>
    <name>RangeMessage</name>
    <message>
        <source>値が範囲外です</source>
        <translation>The value is out of range</translation>
    </message>
</context>
<context>
    <name>SheetReader</name>
    <message>
        <source>出力 %1 は範囲外です</source>
        <translation>Output %1 is out of range</translation>
    </message>
    <message>
        <source>入力 %1 を読めません</source>
        <translation>Cannot read input %1</translation>
    </message>
    <message>
        <source>パッチ %1 は範囲外です</source>
        <translation>Patch %1 is out of range</translation>
    </message>
    <message>
        <source>%1 行目: %2</source>
        <translation>Row %1: %2</translation>
    </message>
    <message>
        <source>列の数が合いません</source>
        <translation>Wrong number of columns</translation>
    </message>
    <message>
        <source>出力の数より行が多すぎます</source>
        <translation>More rows than outputs</translation>
    </message>
    <message>
        <source>属性 %1 を読めません</source>
        <translation>Cannot read attribute %1</translation>
    </message>
</context>
<context>
    <name>Snapshot</name>
    <message>
        <source>フォルダを作成できません</source>
        <translation>The folder cannot be created</translation>
    </message>
    <message>
        <source>スナップショットを保存できませんでした
%1
%2</source>
        <translation>The snapshot could not be saved
%1
%2</translation>
    </message>
</context>
<context>
    <name>TCurvePage</name>
    <message>
        <source>入力=</source>
        <translation>Input=</translation>
    </message>
    <message>
        <source> : 出力=</source>
        <translation> : Output=</translation>
    </message>
</context>
<context>
    <name>TPatchEditor</name>
    <message>
        <source>設定に失敗しました</source>
        <translation>Setting the patch failed</translation>
    </message>
    <message>
        <source>常時ON</source>
        <translation>FULL (always on)</translation>
    </message>
    <message>
        <source>入力 %1</source>
        <translation>input %1</translation>
    </message>
    <message>
        <source>出力 %1 は %2 にパッチされていますが変更しますか?</source>
        <translation>Output %1 is patched to %2. Change it?</translation>
    </message>
    <message>
        <source>パッチ設定中</source>
        <translation>Setting the patch</translation>
    </message>
    <message>
        <source>不正な入力チャンネルです</source>
        <translation>Invalid input channel</translation>
    </message>
    <message>
        <source>連番チャンネル設定</source>
        <translation>Sequential Channels</translation>
    </message>
    <message>
        <source>先頭入力チャンネルを指定してください</source>
        <translation>Enter the first input channel</translation>
    </message>
    <message>
        <source>パッチ解除中</source>
        <translation>Unpatching</translation>
    </message>
</context>
<context>
    <name>UnitLink</name>
    <message>
        <source>応答がありません</source>
        <translation>No response from the unit</translation>
    </message>
</context>
<context>
    <name>Usr_com_std</name>
    <message>
        <source>%1 がありません</source>
        <translation>%1 does not exist</translation>
    </message>
    <message>
        <source>%1 は他のプログラムが使用中です</source>
        <translation>%1 is in use by another program</translation>
    </message>
    <message>
        <source>%1 を開けません: %2</source>
        <translation>Cannot open %1: %2</translation>
    </message>
    <message>
        <source>COM%1 に割り当てられた装置がありません</source>
        <translation>No device is assigned to COM%1</translation>
    </message>
    <message>
        <source>%1 を設定できません: %2</source>
        <translation>Cannot configure %1: %2</translation>
    </message>
    <message>
        <source>ModemManager は新しいシリアル装置をモデムと見なしてコマンドを送ります。止めるには: sudo systemctl stop ModemManager (次の起動からも止めるには: sudo systemctl disable ModemManager)</source>
        <translation>ModemManager takes new serial devices for modems and sends them commands. To stop it: sudo systemctl stop ModemManager (to keep it stopped from the next start: sudo systemctl disable ModemManager)</translation>
    </message>
    <message>
        <source>brltty は一部の USB シリアル変換器を点字ディスプレイと見なして占有します。点字ディスプレイを使わないなら: sudo apt remove brltty</source>
        <translation>brltty takes some USB serial adapters for braille displays and claims them. If you use no braille display: sudo apt remove brltty</translation>
    </message>
    <message>
        <source>装置 %1 が接続されていません。差し込んでからもう一度試してください</source>
        <translation>The device %1 is not connected. Plug it in and try again</translation>
    </message>
    <message>
        <source>装置が接続されていません。差し込んでからもう一度試してください</source>
        <translation>The device is not connected. Plug it in and try again</translation>
    </message>
    <message>
        <source>使用中のプログラム: %1 (プロセス %2)</source>
        <translation>In use by: %1 (process %2)</translation>
    </message>
    <message>
        <source>動いているプログラム: %1</source>
        <translation>Running: %1</translation>
    </message>
    <message>
        <source>使用中のプログラムは sudo fuser -v %1 でわかります</source>
        <translation>sudo fuser -v %1 shows which program uses it</translation>
    </message>
    <message>
        <source>%1 へのアクセス権がありません</source>
        <translation>No permission to use %1</translation>
    </message>
    <message>
        <source>装置のグループ %1 にも読み書きの権限がありません</source>
        <translation>The device&apos;s group %1 may not read and write it either</translation>
    </message>
    <message>
        <source>ユーザー %1 は %2 グループに入っていますが、今のログインはグループに入る前からのものです。ログアウトしてログインし直してください</source>
        <translation>The user %1 is in the group %2, but this login began before joining it. Log out and log in again</translation>
    </message>
    <message>
        <source>装置は %1 グループのもので、ユーザー %2 はこのグループに入っていません。次のコマンドで入り、ログインし直してください:</source>
        <translation>The device belongs to the group %1, and the user %2 is not in it. Join it with this command, then log in again:</translation>
    </message>
</context>
<context>
    <name>Usr_help</name>
    <message>
        <source>ヘルプを表示できませんでした</source>
        <translation>The help could not be shown</translation>
    </message>
    <message>
        <source>ホームページを表示できませんでした</source>
        <translation>The home page could not be shown</translation>
    </message>
</context>
<context>
    <name>Usr_misc</name>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kestrava::TAboutBox</name>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>kestrava::TAttrPage</name>
    <message>
        <source>負荷属性を初期化(全てNormal)しますか</source>
        <translation>Reset all load attributes to Normal?</translation>
    </message>
</context>
<context>
    <name>kestrava::TCompareView</name>
    <message>
        <source>%1: ユニット %2, ファイル %3</source>
        <translation>%1: unit %2, file %3</translation>
    </message>
    <message>
        <source>出力 %1</source>
        <translation>Output %1</translation>
    </message>
    <message>
        <source>モード</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>構成点</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>入力 %1</source>
        <translation>Input %1</translation>
    </message>
    <message>
        <source>パッチ%1</source>
        <translation>Patch %1</translation>
    </message>
    <message>
        <source>負荷属性</source>
        <translation>Load attributes</translation>
    </message>
    <message>
        <source>カーブ%1</source>
        <translation>Curve %1</translation>
    </message>
    <message>
        <source>ファイルと比較</source>
        <translation>Compare with file</translation>
    </message>
    <message>
        <source>違いはありません</source>
        <translation>No differences</translation>
    </message>
    <message>
        <source>違い: %1</source>
        <translation>Differences: %1</translation>
    </message>
</context>
<context>
    <name>kestrava::TCurvePage</name>
    <message>
        <source>カーブNo.</source>
        <translation>Curve No.</translation>
    </message>
    <message>
        <source>個別</source>
        <translation>Individual</translation>
    </message>
    <message>
        <source>折線</source>
        <translation>Lines</translation>
    </message>
    <message>
        <source>曲線</source>
        <translation>Curve</translation>
    </message>
    <message>
        <source>このカーブを初期化しますか</source>
        <translation>Reset this curve?</translation>
    </message>
</context>
<context>
    <name>kestrava::TFileCommands</name>
    <message>
        <source>保存に失敗しました</source>
        <translation>Saving failed</translation>
    </message>
    <message>
        <source>保存が完了しました</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>読込・転送に失敗しました</source>
        <translation>Loading or sending failed</translation>
    </message>
    <message>
        <source>ファイルの読込に失敗しました</source>
        <translation>Could not read the file</translation>
    </message>
    <message>
        <source>読込に失敗しました</source>
        <translation>Loading failed</translation>
    </message>
</context>
<context>
    <name>kestrava::THistoryCommands</name>
    <message>
        <source>ファイルの読込に失敗しました</source>
        <translation>Could not read the file</translation>
    </message>
</context>
<context>
    <name>kestrava::THistoryWindow</name>
    <message>
        <source>履歴</source>
        <translation>History</translation>
    </message>
    <message>
        <source>日時</source>
        <translation>Date and time</translation>
    </message>
    <message>
        <source>コマンド</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>ファームウェア</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>ユニットと比較</source>
        <translation>Compare with the unit</translation>
    </message>
    <message>
        <source>読込</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>フォルダを開く</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>kestrava::TKestravaForm</name>
    <message>
        <source>パッチ</source>
        <translation>Patch</translation>
    </message>
    <message>
        <source>負荷属性</source>
        <translation>Load Attributes</translation>
    </message>
    <message>
        <source>カーブ編集</source>
        <translation>Curve Editor</translation>
    </message>
    <message>
        <source>パッチユニットが見つかりません。
編集モードで起動しますか?</source>
        <translation>The patch unit was not found.
Start in edit mode?</translation>
    </message>
    <message>
        <source>起動確認</source>
        <translation>Start-up</translation>
    </message>
    <message>
        <source>リモート接続が切れました
再接続しますか?</source>
        <translation>The remote link was lost.
Reconnect?</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>終了確認</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>kestrava::TMainMenu</name>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>オプション設定(&amp;O)</source>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>目次(&amp;C)</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>リモート(&amp;R)</source>
        <translation>&amp;Remote</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>設定(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
</context>
<context>
    <name>kestrava::TOptDlg</name>
    <message>
        <source>オプション設定</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>USBシリアルポート</source>
        <translation>USB Serial Port</translation>
    </message>
    <message>
        <source>COM</source>
        <translation>COM</translation>
    </message>
    <message>
        <source>最大入力Ch</source>
        <translation>Max Input Ch</translation>
    </message>
    <message>
        <source>最大出力Ch</source>
        <translation>Max Output Ch</translation>
    </message>
    <message>
        <source>入力→出力モードで既存パッチを警告する</source>
        <translation>Warn about existing patches in input → output mode</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>入力した数値[%1]は範囲を超えています</source>
        <translation>The number entered [%1] is out of range</translation>
    </message>
    <message>
        <source>ポートを探す...</source>
        <translation>Find port...</translation>
    </message>
    <message>
        <source>ポートを探す</source>
        <translation>Find port</translation>
    </message>
    <message>
        <source>ユニットの USB ケーブルを外してから「はい」を押してください</source>
        <translation>Unplug the unit&apos;s USB cable, then press Yes</translation>
    </message>
    <message>
        <source>ユニットを差し込み、数秒待ってから「はい」を押してください</source>
        <translation>Plug the unit in, wait a few seconds, then press Yes</translation>
    </message>
    <message>
        <source>新しいポートが見つかりませんでした</source>
        <translation>No new port appeared</translation>
    </message>
</context>
<context>
    <name>kestrava::TPatchPage</name>
    <message>
        <source>チェック</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>パッチ%1の変更内容を書き込みますか?</source>
        <translation>Write the changes to patch %1 to the unit?</translation>
    </message>
    <message>
        <source>現在のパッチを１対１接続にしますか?</source>
        <translation>Patch the current patch one-to-one?</translation>
    </message>
    <message>
        <source>現在のパッチをクリアしますか?</source>
        <translation>Clear the current patch?</translation>
    </message>
    <message>
        <source>全てのパッチをクリアしますか?</source>
        <translation>Clear all patches?</translation>
    </message>
</context>
</TS>
