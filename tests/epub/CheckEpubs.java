// epubcheck on every EPUB of one folder in a single Java run (its start-up
// and schemas cost more than a small book's check). Exits 1 on any fatal
// error, error or warning, and when the folder holds no EPUB.
//   java -cp epubcheck.jar CheckEpubs.java FOLDER
import com.adobe.epubcheck.api.EpubCheck;
import com.adobe.epubcheck.util.DefaultReportImpl;

import java.io.File;
import java.util.Arrays;

public class CheckEpubs {
    public static void main(String[] args) {
        File[] epubs = new File(args[0]).listFiles((dir, name) -> name.endsWith(".epub"));
        if (epubs == null || epubs.length == 0) {
            System.out.println("no EPUB in " + args[0]);
            System.exit(1);
        }
        Arrays.sort(epubs);
        int failed = 0;
        for (File epub : epubs) {
            System.out.println("== " + epub.getName());
            DefaultReportImpl report = new DefaultReportImpl(epub.getName());
            new EpubCheck(epub, report).doValidate();
            int problems = report.getFatalErrorCount() + report.getErrorCount() + report.getWarningCount();
            System.out.printf("%d fatals / %d errors / %d warnings%n", report.getFatalErrorCount(),
                report.getErrorCount(), report.getWarningCount());
            if (problems > 0)
                ++failed;
        }
        System.out.printf("%d checked, %d with errors or warnings%n", epubs.length, failed);
        System.exit(failed == 0 ? 0 : 1);
    }
}
